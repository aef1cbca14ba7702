# Installs the build with stripping into PREFIX and checks that the installed
# quelnet still ends with its firmware package (strip drops trailing bytes).
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" --strip
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND "${PACK}" check "${PREFIX}/${BINDIR}/quelnet" RESULT_VARIABLE rc)
file(REMOVE_RECURSE "${PREFIX}")
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the installed quelnet carries no package")
endif()
