# Sanitizer and fuzzing builds (see tools/fuzz.sh and .ci/run).
#
# QUELNET_SANITIZE: every target with AddressSanitizer and UndefinedBehaviorSanitizer;
# undefined behaviour is not recovered from, so the first report ends the program
# and fails its test.
# QUELNET_FUZZ: coverage instrumentation for libFuzzer on every target (clang only);
# the fuzz targets themselves are linked with the libFuzzer driver in tests/fuzz.
if(QUELNET_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "QUELNET_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
endif()

if(QUELNET_SANITIZE)
  set(quelnet_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all)
  # Qt's own range checks (Q_ASSERT in its inline accessors) are kept too, so an
  # index past the end of a QByteArray or QList stops the program.
  add_compile_options(${quelnet_sanitizers} -fno-omit-frame-pointer)
  add_compile_definitions(QT_FORCE_ASSERTS)
  add_link_options(${quelnet_sanitizers})
endif()

if(QUELNET_FUZZ)
  # The checksums run over whole program images (120 KiB per update start) and
  # have their own tests: left out of the coverage, they no longer slow the
  # fuzz targets down.
  add_compile_options(-fsanitize=fuzzer-no-link
                      -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/cmake/fuzz-coverage-ignore.txt)
endif()

# Hardening as Debian builds its packages (hardening-check passes on every
# program): fortified C library calls, stack protector, position-independent
# executables, read-only relocations bound at start (full RELRO, BIND_NOW).
# The fortified calls need optimisation and would only get in the way of the
# sanitizers, which check the same accesses more closely.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# Also Debian's defaults on amd64: stack clash protection and control-flow
# protection (hardware return and branch checks).
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "QUELNET_HAS${flag}" have)
  check_cxx_compiler_flag(${flag} ${have})
  if(${have})
    add_compile_options(${flag})
  endif()
endforeach()
if(NOT QUELNET_SANITIZE AND NOT QUELNET_FUZZ)
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
endif()
add_link_options(-Wl,-z,relro -Wl,-z,now)
