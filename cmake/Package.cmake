# What `cmake --install` puts beside the programs (installed with their own folders), and the
# Debian package made of the same files (make package).
set(desktop_files ${CMAKE_SOURCE_DIR}/res/desktop)
set(data_dir ${CMAKE_INSTALL_DATADIR})
set(app_id ${PELORIN_APP_ID})

install(FILES ${desktop_files}/${app_id}.desktop DESTINATION ${data_dir}/applications)
install(FILES ${desktop_files}/${app_id}.metainfo.xml DESTINATION ${data_dir}/metainfo)
install(FILES ${desktop_files}/${app_id}.mime.xml DESTINATION ${data_dir}/mime/packages
        RENAME ${app_id}.xml)
install(FILES ${desktop_files}/icon.svg DESTINATION ${data_dir}/icons/hicolor/scalable/apps
        RENAME ${app_id}.svg)
foreach(size 48 256)
    install(FILES ${desktop_files}/icon-${size}.png
            DESTINATION ${data_dir}/icons/hicolor/${size}x${size}/apps RENAME ${app_id}.png)
endforeach()
# Something to paint with and to open at once; SettingsLocation::sampleChipSheet finds the sheet.
install(FILES ${CMAKE_SOURCE_DIR}/res/chips.png ${CMAKE_SOURCE_DIR}/res/sample.map
        DESTINATION ${data_dir}/pelorin)
install(FILES ${desktop_files}/copyright DESTINATION ${data_dir}/doc/pelorin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pelorin developers <pelorin@pelorin.github.io>"
    CACHE STRING "The package's maintainer")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tile map editor for 2D games")
# One line of the package's long description per line here, as Debian keeps them under 80.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Pelorin edits the tile maps of 2D games: paint the chips of a tile sheet"
    "onto a grid map, give every cell a game attribute, and save map and"
    "attribute files that games read byte for byte. Its user interface is"
    "Japanese. pelorin-tool inspects, converts, renders and batch-edits the"
    "same files from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pelorin.github.io/)
# The libraries come from the programs themselves; Qt's X11 platform plug-in is part of
# libqt6gui6. The interface is Japanese, so a Japanese font and Qt's own translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
set(CPACK_STRIP_FILES ON)
include(CPack)
