# Manual pages made by the build from each program's own --help and --version
# (help2man) and an include file in docs/man with what the help does not say
# (files, environment, examples), so that a page never falls behind its
# program's options. Installed compressed into share/man/man1 with the
# program's package component.
#
#   quelnet_man_page(<program target> [COMPONENT <component>]
#                    [HELP_WRAPPER <script>])
#
# The include file is docs/man/<program>.h2m; its [NAME] section names the page.
# HELP_WRAPPER: a script run as "<script> <program> --help|--version" that
# prints a fuller help than the program's first --help (quelnetctl: every
# command's help).
include(GNUInstallDirs)
find_program(QUELNET_HELP2MAN help2man)
find_program(QUELNET_GZIP gzip)
if(NOT QUELNET_HELP2MAN)
  message(STATUS "help2man not found: no manual pages (tools/install-deps.sh installs it)")
endif()

add_custom_target(man-pages ALL)

function(quelnet_man_page program)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "COMPONENT;HELP_WRAPPER" "")
  # Sanitizer and fuzzing builds are never installed: no pages there.
  if(NOT QUELNET_HELP2MAN OR QUELNET_SANITIZE OR QUELNET_FUZZ)
    return()
  endif()
  if(NOT arg_COMPONENT)
    set(arg_COMPONENT Unspecified)
  endif()
  set(include ${PROJECT_SOURCE_DIR}/docs/man/${program}.h2m)
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  if(arg_HELP_WRAPPER)
    set(run bash ${arg_HELP_WRAPPER} $<TARGET_FILE:${program}>)
    set(depends ${arg_HELP_WRAPPER})
  else()
    set(run $<TARGET_FILE:${program}>)
    set(depends)
  endif()
  # help2man runs the program by name: a wrapper script is given as a small
  # executable script that calls it with the program's path.
  set(runner ${PROJECT_BINARY_DIR}/man/run/${program})
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man/run
    COMMAND ${CMAKE_COMMAND} -DOUT=${runner} "-DRUN=${run}"
            -P ${PROJECT_SOURCE_DIR}/cmake/WriteHelpRunner.cmake
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
            ${QUELNET_HELP2MAN} --no-info --no-discard-stderr --locale=C.UTF-8 --section=1 --include=${include}
            --output=${page} ${runner}
    COMMAND ${QUELNET_GZIP} -9nf ${page}
    DEPENDS ${program} ${include} ${depends} ${PROJECT_SOURCE_DIR}/cmake/WriteHelpRunner.cmake
    COMMENT "Manual page ${program}(1)" VERBATIM)
  add_custom_target(man-${program} DEPENDS ${page}.gz)
  add_dependencies(man-pages man-${program})
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${arg_COMPONENT})
endfunction()
