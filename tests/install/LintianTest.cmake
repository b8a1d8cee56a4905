# Makes the Debian package of the build in OUT and has lintian check it: any error or warning fails.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
    message(FATAL_ERROR "lintian is missing (scripts/deps.sh installs it)")
endif()
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${OUT}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB packages ${OUT}/*.deb)
list(LENGTH packages count)
if(rc OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack failed (${rc}): ${out}${err}")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error,warning ${packages}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc)
    message(FATAL_ERROR "lintian (${rc}):\n${out}${err}")
endif()
message(STATUS "lintian: ${packages}\n${out}")
