# Installation like a desktop program: the programs in bin/, their data files (maps, languages) in
# share/vmconfig/ where the programs look when none lie beside them, a desktop entry and an icon; and a Debian
# package of the same (cpack -G DEB in the build folder).
include(GNUInstallDirs)

install(TARGETS vmconfig vmconfig-cli vmboard-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VM_DATA_OUTPUT_DIR}/W0482.inx ${VM_DATA_OUTPUT_DIR}/W0482BV00.inx ${VM_LANGUAGE_FILES}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vmconfig)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/vmconfig.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/vmconfig.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME vmconfig)
set(CPACK_PACKAGE_VENDOR "Vending Machine Configuration")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the control board of a vending machine")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vending Machine Configuration developers")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(VM_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VM_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # the Qt libraries the programs link, as package dependencies
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6serialport6")
endif()
set(CPACK_GENERATOR DEB)
include(CPack)
