# Helpers for declaring the suite's libraries, tests and benchmarks.

# suite_target_defaults(<target>): warnings and hidden visibility.
function(suite_target_defaults target)
  target_compile_options(${target} PRIVATE ${SUITE_WARNING_FLAGS})
  set_target_properties(${target} PROPERTIES
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# suite_add_shared_library(<name> SOURCES ... [PUBLIC_INCLUDE dir] [LIBS ...])
# A core library with a plain C interface; only symbols marked for export are visible.
function(suite_add_shared_library name)
  cmake_parse_arguments(ARG "" "PUBLIC_INCLUDE" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  suite_target_defaults(${name})
  if(ARG_PUBLIC_INCLUDE)
    target_include_directories(${name} PUBLIC ${ARG_PUBLIC_INCLUDE})
  endif()
  if(ARG_LIBS)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  endif()
  target_link_options(${name} PRIVATE -Wl,--no-undefined)
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
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${ARG_ENV}" LABELS ${name})
endfunction()

# suite_python(): the interpreter the tests use to run tools/ generators.
find_program(SUITE_PYTHON NAMES python3 REQUIRED PATHS /usr/bin NO_DEFAULT_PATH)
