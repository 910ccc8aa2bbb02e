# Quality gates, run by CTest with every other test:
#
#   quality.sanitized.*   the native tests again, built with clang under
#                         AddressSanitizer and UndefinedBehaviorSanitizer;
#   quality.fuzz.*        each libFuzzer target for a few seconds on its
#                         checked-in corpus (scripts/fuzz.sh runs them longer);
#   quality.clang-tidy.*, quality.cppcheck
#                         static analysis of the project's own code;
#   quality.binaries      machine type, subsystem, imports, resources and
#                         exports of the four deliverables.
#
# The sanitized build is a second configure of this same tree
# (VARKEL_NATIVE_ONLY, VARKEL_SANITIZE, clang), made by a CTest fixture rather
# than by the main build: scripts/build.sh stays as fast as before, and the
# gates cost time only when the tests run.

option(VARKEL_SANITIZE "Build the native tests under AddressSanitizer and UndefinedBehaviorSanitizer (clang), with the fuzz targets" OFF)

set(VARKEL_FUZZ_TARGETS startup_config command_line max_memory library_list setup_command_line hand_over_request
                        java_version)

if(VARKEL_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VARKEL_SANITIZE needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
  endif()
  # Any report ends the program with a failure: nothing is merely logged.
  set(VARKEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  # The targets already exist (this file is included after tests/unit and
  # tests/jvm), so the flags go onto each of them rather than into directory
  # defaults that only later targets would see.
  function(varkel_sanitize_directory dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(t ${targets})
      get_target_property(type ${t} TYPE)
      if(type MATCHES "^(STATIC_LIBRARY|EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
        # -Wno-unknown-warning-option: the GCC-only warning switches of the tests.
        target_compile_options(${t} PRIVATE ${VARKEL_SANITIZER_FLAGS} -Wno-unknown-warning-option)
        target_link_options(${t} PRIVATE ${VARKEL_SANITIZER_FLAGS})
      endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(s ${subdirs})
      varkel_sanitize_directory(${s})
    endforeach()
  endfunction()
  varkel_sanitize_directory(${CMAKE_SOURCE_DIR})
  add_subdirectory(tests/fuzz)
  return()
endif()

# Figures for scripts/benchmark.sh (not built by default).
add_subdirectory(benchmarks)

# ---- The sanitized build and its tests ------------------------------------------
set(VARKEL_SANITIZED_DIR ${CMAKE_BINARY_DIR}/sanitized)
find_program(VARKEL_CLANGXX clang++ REQUIRED)
find_program(VARKEL_CLANG clang REQUIRED)
add_test(NAME quality.sanitized.build
         COMMAND ${CMAKE_SOURCE_DIR}/tests/quality/build-sanitized.sh
                 ${CMAKE_SOURCE_DIR} ${VARKEL_SANITIZED_DIR} ${VARKEL_CLANG} ${VARKEL_CLANGXX})
set_tests_properties(quality.sanitized.build PROPERTIES FIXTURES_SETUP sanitized TIMEOUT 1200 LABELS quality)

# Every native test of the sanitized build except the JVM hosting tests:
# HotSpot raises SIGSEGV on purpose (implicit null checks, safepoint polls) and
# allocates outside malloc, which AddressSanitizer reports or intercepts; the
# same hosting code runs sanitized through the fake JVM in the unit tests.
set(VARKEL_SANITIZER_ENV
    "ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:abort_on_error=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
add_test(NAME quality.sanitized.unit
         COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${VARKEL_SANITIZED_DIR} -j2 --output-on-failure
                 --no-tests=error -E "^jvm\\.")
set_tests_properties(quality.sanitized.unit PROPERTIES FIXTURES_REQUIRED sanitized TIMEOUT 900
                     LABELS quality ENVIRONMENT "${VARKEL_SANITIZER_ENV}")

# ---- Fuzzing --------------------------------------------------------------------
# A few seconds each, on a scratch corpus seeded from the checked-in one: new
# inputs go to the build folder, never into the source tree.
set(VARKEL_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs in the test command")
foreach(target ${VARKEL_FUZZ_TARGETS})
  add_test(NAME quality.fuzz.${target}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/quality/run-fuzzer.sh
                   ${VARKEL_SANITIZED_DIR}/tests/fuzz/fuzz_${target}
                   ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${target}
                   ${CMAKE_BINARY_DIR}/fuzz/${target} ${VARKEL_FUZZ_SECONDS})
  set_tests_properties(quality.fuzz.${target} PROPERTIES FIXTURES_REQUIRED sanitized TIMEOUT 300
                       LABELS quality ENVIRONMENT "${VARKEL_SANITIZER_ENV}")
endforeach()

# ---- Static analysis ------------------------------------------------------------
# clang-tidy reads the compile database of the sanitized build (the portable
# code and the native tests, compiled by clang) and, for the Windows-only
# sources, the one of the 64-bit MinGW build. cppcheck reads the sources.
find_program(VARKEL_CLANG_TIDY clang-tidy REQUIRED)
find_program(VARKEL_CPPCHECK cppcheck REQUIRED)
add_test(NAME quality.clang-tidy.portable
         COMMAND ${CMAKE_SOURCE_DIR}/tests/quality/run-clang-tidy.sh portable
                 ${CMAKE_SOURCE_DIR} ${VARKEL_SANITIZED_DIR})
set_tests_properties(quality.clang-tidy.portable PROPERTIES FIXTURES_REQUIRED sanitized TIMEOUT 900 LABELS quality)
add_test(NAME quality.cppcheck
         COMMAND ${CMAKE_SOURCE_DIR}/tests/quality/run-cppcheck.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/cppcheck)
set_tests_properties(quality.cppcheck PROPERTIES TIMEOUT 900 LABELS quality)

if(VARKEL_NATIVE_ONLY)
  return()
endif()

add_test(NAME quality.clang-tidy.windows
         COMMAND ${CMAKE_SOURCE_DIR}/tests/quality/run-clang-tidy.sh windows
                 ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/windows-x86_64)
set_tests_properties(quality.clang-tidy.windows PROPERTIES TIMEOUT 900 LABELS quality)

# ---- The deliverables -----------------------------------------------------------
add_test(NAME quality.binaries
         COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/quality/check_binaries.py
                 --launcher32 ${CMAKE_BINARY_DIR}/windows-i686/VKJavaLauncher/Varkel.exe
                 --launcher64 ${CMAKE_BINARY_DIR}/windows-x86_64/VKJavaLauncher/Varkel-64.exe
                 --extension ${CMAKE_BINARY_DIR}/windows-x86_64/Quellis/Quellis64.dll
                 --setup ${CMAKE_BINARY_DIR}/windows-x86_64/QuellisSetup/QuellisSetup.exe
                 --installer ${CMAKE_SOURCE_DIR}/dist/Varkel-Setup.exe)
set_tests_properties(quality.binaries PROPERTIES TIMEOUT 120 LABELS quality)
