# The two uses of the level table (Levels.cmake): recording it, and making each folder's library
# from it. Plain CMake, so that the level test can read the same table in script mode.

# pelorin_folder(<folder> [<folder it may use> | QT]...)
# Declares a folder of the product and the folders its code may include and its library links.
# A folder may use the folders it names and, through them, whatever those may use; each named
# folder must be declared before, so the table reads in level order and can have no cycle.
# QT: the folder may include Qt, and its library links Qt Widgets.
function(pelorin_folder folder)
    get_property(known GLOBAL PROPERTY PELORIN_FOLDERS)
    if(folder IN_LIST known)
        message(FATAL_ERROR "Levels: ${folder} is declared twice")
    endif()
    set(allowed "")
    foreach(use IN LISTS ARGN)
        if(use STREQUAL "QT")
            list(APPEND allowed QT)
        elseif(NOT use IN_LIST known)
            message(FATAL_ERROR "Levels: ${folder} uses ${use}, which is not declared before it")
        else()
            get_property(through GLOBAL PROPERTY "PELORIN_ALLOWED_${use}")
            list(APPEND allowed ${use} ${through})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES allowed)
    set_property(GLOBAL APPEND PROPERTY PELORIN_FOLDERS ${folder})
    set_property(GLOBAL PROPERTY "PELORIN_USES_${folder}" ${ARGN})
    set_property(GLOBAL PROPERTY "PELORIN_ALLOWED_${folder}" ${allowed})
endfunction()

# The library of a folder: pelorin_ and the folder's path with / as _ (app/core: pelorin_app_core).
function(pelorin_library_name folder out)
    string(REPLACE "/" "_" name "pelorin_${folder}")
    set(${out} ${name} PARENT_SCOPE)
endfunction()

# pelorin_library(<source>...), called in a folder's CMakeLists.txt: the folder's static library,
# linking (publicly) exactly the folders the table lets it use directly.
function(pelorin_library)
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    get_property(known GLOBAL PROPERTY PELORIN_FOLDERS)
    if(NOT folder IN_LIST known)
        message(FATAL_ERROR "Levels: ${folder} has no line in cmake/Levels.cmake")
    endif()
    pelorin_library_name(${folder} target)
    add_library(${target} STATIC ${ARGN})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    get_property(uses GLOBAL PROPERTY "PELORIN_USES_${folder}")
    foreach(use IN LISTS uses)
        if(use STREQUAL "QT")
            target_link_libraries(${target} PUBLIC Qt6::Widgets)
        else()
            pelorin_library_name(${use} library)
            target_link_libraries(${target} PUBLIC ${library})
        endif()
    endforeach()
endfunction()
