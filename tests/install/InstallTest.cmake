# Installs the build into PREFIX, checks the installed files, and runs the installed vmconfig-cli: a board read
# into a file needs the maps of the share folder, and the file is shown.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/vmconfig bin/vmconfig-cli bin/vmboard-sim share/vmconfig/W0482.inx share/vmconfig/W0482BV00.inx
          share/vmconfig/Italiano.lng share/vmconfig/English.lng share/applications/vmconfig.desktop
          share/icons/hicolor/scalable/apps/vmconfig.svg share/man/man1/vmconfig.1.gz
          share/man/man1/vmconfig-cli.1.gz share/man/man1/vmboard-sim.1.gz share/doc/vmconfig/copyright
          share/doc/vmconfig/changelog.Debian.gz)
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
if(EXISTS ${PREFIX}/bin/W0482.inx)
    message(FATAL_ERROR "the maps belong in the share folder, not beside the programs")
endif()

execute_process(COMMAND ${PREFIX}/bin/vmconfig-cli --simulate save ${PREFIX}/board.prm
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc OR NOT EXISTS ${PREFIX}/board.prm)
    message(FATAL_ERROR "installed vmconfig-cli --simulate save failed (${rc}): ${out}${err}")
endif()
execute_process(COMMAND ${PREFIX}/bin/vmconfig-cli show ${PREFIX}/board.prm
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc OR NOT out MATCHES "\n1844 ")
    message(FATAL_ERROR "installed vmconfig-cli show failed (${rc}): ${err}")
endif()
# Each program's --help is its manual page: on stdout, with the exit statuses, and a success.
foreach(program vmconfig vmconfig-cli vmboard-sim)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PREFIX}/bin/${program} --help
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(rc OR NOT out MATCHES "^Usage: " OR NOT out MATCHES "\nExit status:\n")
        message(FATAL_ERROR "${program} --help (${rc}): ${out}${err}")
    endif()
endforeach()
message(STATUS "installed and ran from ${PREFIX}")
