# Helpers for declaring the suite's libraries, tests and benchmarks.

# suite_target_defaults(<target>): warnings and hidden visibility.
function(suite_target_defaults target)
  target_compile_options(${target} PRIVATE ${SUITE_WARNING_FLAGS})
  set_target_properties(${target} PROPERTIES
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# suite_add_shared_library(<name> SOURCES ... [PUBLIC_INCLUDE dir] [LIBS ...] [EXPORTS list.txt])
# A core library with a plain C interface; only symbols marked for export are
# visible. With EXPORTS (one function name per line), a linker version script
# keeps exactly those names global, and the test <name>_exports checks the
# built library against the same list.
function(suite_add_shared_library name)
  cmake_parse_arguments(ARG "" "PUBLIC_INCLUDE;EXPORTS" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  suite_target_defaults(${name})
  if(ARG_PUBLIC_INCLUDE)
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${ARG_PUBLIC_INCLUDE}>)
  endif()
  if(ARG_LIBS)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  endif()
  if(ARG_EXPORTS)
    file(STRINGS ${ARG_EXPORTS} _names REGEX "^[A-Za-z_][A-Za-z0-9_]*$")
    list(JOIN _names ";\n    " _globals)
    set(_script ${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
    file(WRITE ${_script} "{\n  global:\n    ${_globals};\n  local: *;\n};\n")
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${_script})
    target_link_options(${name} PRIVATE -Wl,--version-script=${_script})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_EXPORTS})
    if(SUITE_BUILD_TESTS)
      add_test(NAME ${name}_exports COMMAND ${SUITE_CHECK_EXPORTS} $<TARGET_FILE:${name}> ${ARG_EXPORTS})
    endif()
  endif()
  # Sanitizer runtimes are linked into the executables (clang), so a
  # sanitized library legitimately has undefined runtime symbols.
  if(NOT SUITE_SANITIZE AND NOT SUITE_TSAN)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

if(SUITE_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# suite_add_gtest(<name> SOURCES ... [LIBS ...] [ENV VAR=value ...] [DEPENDS target ...])
# One GoogleTest executable; every test case becomes a CTest entry.
function(suite_add_gtest name)
  if(NOT SUITE_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${SUITE_WARNING_FLAGS})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${ARG_LIBS})
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  # The environment goes through env(1) as the test's launcher: discovery and
  # every test case run with it.
  if(ARG_ENV)
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR /usr/bin/env ${ARG_ENV})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS ${name})
endfunction()

# suite_python(): the interpreter the tests use to run tools/ generators.
find_program(SUITE_PYTHON NAMES python3 REQUIRED PATHS /usr/bin NO_DEFAULT_PATH)

# suite_add_voice_exit_test(<program target>): the program started a few
# times under a private sound server (platform/tests/voice_exit_test.py),
# each time playing a voice note and closing; every run must exit cleanly.
# Skipped only when the sound server cannot start.
function(suite_add_voice_exit_test program)
  if(NOT SUITE_BUILD_TESTS)
    return()
  endif()
  add_test(NAME ${program}_voice_exit
    COMMAND ${SUITE_PYTHON} ${PROJECT_SOURCE_DIR}/platform/tests/voice_exit_test.py --runs 6 --jobs 2
            $<TARGET_FILE:${program}>)
  set_tests_properties(${program}_voice_exit PROPERTIES
    LABELS ${program}_voice_exit SKIP_RETURN_CODE 77 TIMEOUT 600)
endfunction()

# A library from pkg-config that target opens at run time, when first needed
# (platform/lazy_library.h), instead of linking it: its headers only, and the
# name to open it by (its SONAME, read with objdump) as the definition
# <DEFINE>="libname.so.N".
function(suite_use_lazy_library target pkg_prefix define)
  find_library(_lazy_${pkg_prefix} NAMES ${${pkg_prefix}_LIBRARIES} HINTS ${${pkg_prefix}_LIBRARY_DIRS} NO_CACHE)
  if(NOT _lazy_${pkg_prefix})
    message(FATAL_ERROR "${pkg_prefix}: library ${${pkg_prefix}_LIBRARIES} not found")
  endif()
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p "${_lazy_${pkg_prefix}}" OUTPUT_VARIABLE _dynamic ERROR_QUIET)
  string(REGEX MATCH "SONAME +([^\n ]+)" _found "${_dynamic}")
  set(_soname "${CMAKE_MATCH_1}")
  if(NOT _soname)
    message(FATAL_ERROR "${pkg_prefix}: no SONAME in ${_lazy_${pkg_prefix}}")
  endif()
  target_include_directories(${target} SYSTEM PRIVATE ${${pkg_prefix}_INCLUDE_DIRS})
  target_compile_definitions(${target} PRIVATE ${define}="${_soname}")
  target_link_libraries(${target} PRIVATE ${CMAKE_DL_LIBS})
endfunction()
