# Manual pages of the three programs in section 1, made by help2man from each program's --help (plus the
# sections --help has no place for, docs/man/PROGRAM.h2m) and compressed as Debian wants them.
find_program(VM_HELP2MAN help2man)
if(NOT VM_HELP2MAN)
    message(WARNING "help2man not found (scripts/deps.sh installs it): no manual pages")
    return()
endif()

set(VM_MAN_DIR ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${VM_MAN_DIR})
set(VM_MAN_PAGES)
foreach(program vmconfig vmconfig-cli vmboard-sim)
    set(include ${CMAKE_SOURCE_DIR}/docs/man/${program}.h2m)
    set(page ${VM_MAN_DIR}/${program}.1)
    # vmconfig needs no display to print its help; a sanitizer build's leak report must not become text.
    add_custom_command(OUTPUT ${page}.gz
                       COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                               ${VM_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION}
                               --include=${include} --output=${page} $<TARGET_FILE:${program}>
                       COMMAND gzip -9nf ${page}
                       DEPENDS ${program} ${include} VERBATIM)
    list(APPEND VM_MAN_PAGES ${page}.gz)
endforeach()
add_custom_target(vm_man_pages ALL DEPENDS ${VM_MAN_PAGES})
install(FILES ${VM_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
