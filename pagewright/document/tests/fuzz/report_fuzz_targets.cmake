# The report Contents fuzz targets come in pairs: a reading target
# (<name>_fuzzer: read, save, read again, undo; no drawing, so it runs many
# inputs a second) and a drawing target (<name>_draw_fuzzer: select, hit test
# and draw every page). The source folder of each pair holds
# contents_fuzzer.cpp and contents_draw_fuzzer.cpp.

# Replays of a pair's kept corpora, once per test run, under the build's
# sanitizers and without libFuzzer:
#   report_fuzz_replays(NAME LIBRARY SOURCES extra... CORPORA dirs...
#                       [DEPENDS targets...] [ENVIRONMENT vars...])
# makes the tests <NAME>_fuzz_replay and <NAME>_draw_fuzz_replay.
function(report_fuzz_replays name library)
  cmake_parse_arguments(R "" "" "SOURCES;CORPORA;DEPENDS;ENVIRONMENT" ${ARGN})
  foreach(kind IN ITEMS "" "_draw")
    set(_exe ${name}${kind}_replay)
    add_executable(${_exe} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/contents${kind}_fuzzer.cpp ${SUITE_FUZZ_REPLAY_MAIN}
      ${SUITE_LSAN_SYSTEM_SOURCE} ${R_SOURCES})
    target_compile_options(${_exe} PRIVATE ${SUITE_WARNING_FLAGS})
    target_link_libraries(${_exe} PRIVATE ${library})
    if(R_DEPENDS)
      add_dependencies(${_exe} ${R_DEPENDS})
    endif()
    add_test(NAME ${name}${kind}_fuzz_replay COMMAND ${_exe} ${R_CORPORA})
    set_tests_properties(${name}${kind}_fuzz_replay PROPERTIES LABELS report_fuzz
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${R_ENVIRONMENT}")
  endforeach()
endfunction()

# The libFuzzer programs of a pair (clang, PAGEWRIGHT_DOCUMENT_FUZZ):
#   report_fuzz_targets(NAME LIBRARY SOURCE_DIR [extra sources...])
# Run each through scripts/fuzz, which sets the memory limits:
#   scripts/fuzz <NAME>_fuzzer SCRATCH_DIR KEPT_CORPUS -max_total_time=300
function(report_fuzz_targets name library dir)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PAGEWRIGHT_DOCUMENT_FUZZ needs clang (libFuzzer)")
  endif()
  # Coverage for the fuzzer in the code it drives.
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
  foreach(kind IN ITEMS "" "_draw")
    set(_exe ${name}${kind}_fuzzer)
    add_executable(${_exe} ${dir}/contents${kind}_fuzzer.cpp ${SUITE_LSAN_SYSTEM_SOURCE} ${ARGN})
    target_compile_options(${_exe} PRIVATE ${SUITE_WARNING_FLAGS} -fsanitize=fuzzer)
    target_link_options(${_exe} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${_exe} PRIVATE ${library})
  endforeach()
endfunction()
