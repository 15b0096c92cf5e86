# What `cmake --install` puts beside the programs (installed with their own folders).
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
