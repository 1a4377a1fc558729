# Install rules and the Debian package (`make package`).
include(GNUInstallDirs)

set(OVS_PACKAGE_NAME "orvanel-switching-config-tool")

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
# The same icon at twice the size, for desktops scaled to 200 %.
install(FILES resources/desktop/corvanecfg@2x.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256@2/apps RENAME corvanecfg.png)

# The manual pages (written by hand) and the changelog are installed compressed, as
# Debian wants them: gzip -9 at maximum compression, -n without name and time stamp so
# that every build gives the same bytes.
find_program(OVS_GZIP gzip REQUIRED)
set(ovs_gzipped)
foreach(source IN ITEMS docs/corvanecfg.1 docs/ovsctl.1 cmake/debian/changelog)
    get_filename_component(name ${source} NAME)
    set(compressed ${CMAKE_BINARY_DIR}/package/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
        COMMAND ${OVS_GZIP} -9nc ${CMAKE_SOURCE_DIR}/${source} > ${compressed}
        DEPENDS ${CMAKE_SOURCE_DIR}/${source}
        COMMENT "Compressing ${source}")
    list(APPEND ovs_gzipped ${compressed})
endforeach()
add_custom_target(ovs_package_files ALL DEPENDS ${ovs_gzipped})
install(FILES ${CMAKE_BINARY_DIR}/package/corvanecfg.1.gz ${CMAKE_BINARY_DIR}/package/ovsctl.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/package/changelog.gz cmake/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${OVS_PACKAGE_NAME})

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "${OVS_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "Orvanel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Arrange the screens of a Vorrix switch and configure it over a serial cable")
# No line of the long description may exceed 79 characters or start with a dot.
set(CPACK_PACKAGE_DESCRIPTION
    "The Orvanel Switching Config Tool describes the set-up of a Vorrix switch
with 2, 4 or 8 channels: where the screen of each channel stands among the
others, as a tile on a raster, the resolution of each screen, the pointer
speed and whether Orvanel Switching is on. It reads that configuration out
of the switch and writes it into the switch over the switch's serial service
port, keeps it in files and prints it. The interface speaks English and
German.

The package holds the desktop program corvanecfg and the command-line tool
ovsctl, which backs up and restores switches from scripts, shows and
converts configuration files, writes PDF records of them and plays a switch
on a pseudo-terminal.")
set(CPACK_PACKAGE_CONTACT "Orvanel support <support@orvanel.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
