# Installation like a desktop program: the programs in bin/, their data files (maps, languages) in
# share/vmconfig/ where the programs look when none lie beside them, a desktop entry, an icon and manual
# pages; and a Debian package of the same (cpack -G DEB in the build folder) as lintian expects it.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/ManPages.cmake)

install(TARGETS vmconfig vmconfig-cli vmboard-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VM_DATA_OUTPUT_DIR}/W0482.inx ${VM_DATA_OUTPUT_DIR}/W0482BV00.inx ${VM_LANGUAGE_FILES}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vmconfig)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/vmconfig.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/vmconfig.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The Debian changelog's newest entry names the package version: a new version needs a new entry.
set(VM_PACKAGE_RELEASE 1)
file(STRINGS ${CMAKE_SOURCE_DIR}/data/debian/changelog VM_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT VM_CHANGELOG_TOP MATCHES "^vmconfig \\(${PROJECT_VERSION}-${VM_PACKAGE_RELEASE}\\) ")
    message(FATAL_ERROR "data/debian/changelog: the newest entry must be ${PROJECT_VERSION}-${VM_PACKAGE_RELEASE}")
endif()
set(VM_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(OUTPUT ${VM_CHANGELOG_GZ}
                   COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/debian/changelog
                           ${CMAKE_BINARY_DIR}/debian/changelog.Debian
                   COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/debian/changelog.Debian
                   DEPENDS ${CMAKE_SOURCE_DIR}/data/debian/changelog VERBATIM)
add_custom_target(vm_debian_changelog ALL DEPENDS ${VM_CHANGELOG_GZ})
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright ${VM_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vmconfig)
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME vmconfig)

set(VM_PACKAGE_MAINTAINER "Vending Machine Configuration developers <maintainers@vmconfig.example>"
    CACHE STRING "Name and address of the Debian package's maintainer")

set(CPACK_PACKAGE_NAME vmconfig)
set(CPACK_PACKAGE_VENDOR "Vending Machine Configuration")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the control board of a vending machine")
# The extended description as lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "A service technician connects a PC to the control board of a hot-drink and"
       "snack vending machine over one serial line to identify the board, keep a"
       "live copy of its parameters, edit them in the editor windows, read the whole"
       "configuration memory into a file, write a file back to the board, or edit a"
       "configuration offline."
       ""
       "The package also holds vmconfig-cli, a command-line companion for scripting,"
       "verification and diffs, and vmboard-sim, a simulated board on a"
       "pseudo-terminal for working without hardware.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VM_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VM_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(VM_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VM_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # the Qt libraries the programs link, as package dependencies
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6serialport6")
endif()
set(CPACK_GENERATOR DEB)
include(CPack)
