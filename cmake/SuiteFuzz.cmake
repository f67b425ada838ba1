# Fuzz targets of the parsers: an entry point LLVMFuzzerTestOneInput in one
# source file, built two ways.
#
# - Every test build (SUITE_BUILD_TESTS) makes <name>_replay, which runs the
#   entry point once over every file of the kept corpora under the build's
#   sanitizers (no libFuzzer), and the test <name>_fuzz_replay.
# - With SUITE_FUZZ (clang) the libFuzzer program <name>_fuzzer is built as
#   well, and the libraries named by COVERAGE are instrumented for it.
#   Every fuzz run goes through scripts/fuzz, which sets the memory limits.
#
# Both are linked with the leak checker's suppressions of cmake/lsan-system.supp
# (system libraries only), so a fuzz run over a kept corpus reports the
# suite's own leaks and nothing else.
#
#   suite_fuzz_target(NAME SOURCE file LIBS libs... CORPORA dirs...
#                     [COVERAGE libs...] [DEPENDS targets...] [ENVIRONMENT vars...])
option(SUITE_FUZZ "Build the libFuzzer programs of the parsers (needs clang)" OFF)
if(SUITE_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "SUITE_FUZZ needs clang (libFuzzer)")
endif()

file(READ ${CMAKE_CURRENT_LIST_DIR}/lsan-system.supp SUITE_LSAN_SYSTEM_SUPPRESSIONS)
set(SUITE_LSAN_SYSTEM_SOURCE ${CMAKE_BINARY_DIR}/generated/lsan_system_suppressions.cpp)
configure_file(${PROJECT_SOURCE_DIR}/tools/fuzz/lsan_system_suppressions.cpp.in ${SUITE_LSAN_SYSTEM_SOURCE} @ONLY)
set(SUITE_FUZZ_REPLAY_MAIN ${PROJECT_SOURCE_DIR}/tools/fuzz/replay_main.cpp)

function(suite_fuzz_target name)
  cmake_parse_arguments(F "" "SOURCE" "LIBS;CORPORA;COVERAGE;DEPENDS;ENVIRONMENT" ${ARGN})
  if(SUITE_BUILD_TESTS)
    set(_replay ${name}_replay)
    add_executable(${_replay} ${F_SOURCE} ${SUITE_FUZZ_REPLAY_MAIN} ${SUITE_LSAN_SYSTEM_SOURCE})
    target_compile_options(${_replay} PRIVATE ${SUITE_WARNING_FLAGS})
    target_link_libraries(${_replay} PRIVATE ${F_LIBS})
    if(F_DEPENDS)
      add_dependencies(${_replay} ${F_DEPENDS})
    endif()
    add_test(NAME ${name}_fuzz_replay COMMAND ${_replay} ${F_CORPORA})
    set_tests_properties(${name}_fuzz_replay PROPERTIES LABELS fuzz_replay
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${F_ENVIRONMENT}")
  endif()
  if(SUITE_FUZZ)
    foreach(lib IN LISTS F_COVERAGE)
      target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
    endforeach()
    set(_fuzzer ${name}_fuzzer)
    add_executable(${_fuzzer} ${F_SOURCE} ${SUITE_LSAN_SYSTEM_SOURCE})
    target_compile_options(${_fuzzer} PRIVATE ${SUITE_WARNING_FLAGS} -fsanitize=fuzzer)
    target_link_options(${_fuzzer} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${_fuzzer} PRIVATE ${F_LIBS})
  endif()
endfunction()
