# Install rules and the Debian package (`make package`).
include(GNUInstallDirs)

install(TARGETS corvanecfg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET ovsctl)
    install(TARGETS ovsctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES resources/desktop/corvanecfg.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/desktop/org.orvanel.corvanecfg.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The .ovs file type; dpkg's triggers rebuild the MIME and desktop databases.
install(FILES resources/desktop/orvanel-ovs.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES resources/desktop/corvanecfg.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "orvanel-switching-config-tool")
set(CPACK_PACKAGE_VENDOR "Orvanel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Arrange the screens of a Vorrix switch and configure it over a serial cable")
set(CPACK_PACKAGE_CONTACT "Orvanel support <support@orvanel.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
