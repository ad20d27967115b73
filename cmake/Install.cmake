# Install rules: the program, its helper, the desktop entry, the AppStream data, the icons, the
# samples, the manual page and the package documents. See cmake/InstallLayout.cmake for the
# layout. Two components, one package each: "program" and "gallery" (the helper, which brings the
# web engine).

install(TARGETS qinglanque RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
if(TARGET qinglanque-gallery)
    install(TARGETS qinglanque-gallery RUNTIME DESTINATION ${QLQ_HELPER_INSTALL_DIR}
            COMPONENT gallery)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/samples/corvane/qinglanque.ini
              ${PROJECT_SOURCE_DIR}/samples/corvane/corvane.ini
        DESTINATION ${QLQ_SAMPLES_INSTALL_DIR} COMPONENT program)

# The manual page and, for each package, the copyright file and the changelog (gzip -9n, as
# Debian wants them).
set(_qlq_docs ${PROJECT_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${_qlq_docs})
configure_file(${PROJECT_SOURCE_DIR}/packaging/qinglanque.1 ${_qlq_docs}/qinglanque.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${_qlq_docs}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${_qlq_docs}/copyright @ONLY)
foreach(_doc qinglanque.1 changelog)
    execute_process(COMMAND gzip -9nf -k ${_doc} WORKING_DIRECTORY ${_qlq_docs})
endforeach()
install(FILES ${_qlq_docs}/qinglanque.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT program)
install(FILES ${_qlq_docs}/copyright ${_qlq_docs}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qinglanque COMPONENT program)
if(TARGET qinglanque-gallery)
    install(FILES ${_qlq_docs}/copyright ${_qlq_docs}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qinglanque-gallery COMPONENT gallery)
endif()

set(_qlq_desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
configure_file(${_qlq_desktop_dir}/qinglanque.desktop.in
               ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.desktop @ONLY)
configure_file(${_qlq_desktop_dir}/qinglanque.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
install(FILES ${PROJECT_BINARY_DIR}/desktop/${QLQ_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT program)

# Every size that resources/icons has (qinglanque-<size>.png), plus the scalable picture, named
# after the application id, as the desktop entry and the AppStream data name the icon.
file(GLOB _qlq_icons CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/qinglanque-*.png)
foreach(_icon IN LISTS _qlq_icons)
    get_filename_component(_name ${_icon} NAME)
    if(_name MATCHES "^qinglanque-([0-9]+)\\.png$")
        set(_size ${CMAKE_MATCH_1})
        install(FILES ${_icon} RENAME ${QLQ_APP_ID}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
                COMPONENT program)
    endif()
endforeach()
file(GLOB _qlq_svg CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/qinglanque.svg)
if(_qlq_svg)
    install(FILES ${_qlq_svg} RENAME ${QLQ_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT program)
endif()
