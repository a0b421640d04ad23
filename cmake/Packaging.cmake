# Installed layout and the Debian package (the help files are installed with the desktop program).
install(FILES "${PROJECT_SOURCE_DIR}/data/Liste Moteur.old" DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvello)
install(FILES ${PROJECT_SOURCE_DIR}/data/tarvello.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/tarvello.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvello)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarvello developers <tarvello@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Soft-starter simulator for induction motors")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Simulates the start of a three-phase induction motor direct-on-line and through a soft-starter:\n current and torque charts, ramp-time search for a current limit, motor catalogue, curve export.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Platform plugins and fonts are loaded at run time, so the library scan cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
