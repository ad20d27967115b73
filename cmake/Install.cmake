# Install rules: the program, its helper, the desktop entry, the AppStream data and the icons.
# See cmake/InstallLayout.cmake for the layout.

install(TARGETS qinglanque RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qinglanque-gallery)
    install(TARGETS qinglanque-gallery RUNTIME DESTINATION ${QLQ_HELPER_INSTALL_DIR})
endif()

set(_qlq_desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
configure_file(${_qlq_desktop_dir}/qinglanque.desktop.in
               ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.desktop @ONLY)
configure_file(${_qlq_desktop_dir}/qinglanque.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Every size that resources/icons has (qinglanque-<size>.png), plus the scalable picture.
file(GLOB _qlq_icons CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/qinglanque-*.png)
foreach(_icon IN LISTS _qlq_icons)
    get_filename_component(_name ${_icon} NAME)
    if(_name MATCHES "^qinglanque-([0-9]+)\\.png$")
        set(_size ${CMAKE_MATCH_1})
        install(FILES ${_icon} RENAME qinglanque.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
    endif()
endforeach()
file(GLOB _qlq_svg CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/qinglanque.svg)
if(_qlq_svg)
    install(FILES ${_qlq_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
