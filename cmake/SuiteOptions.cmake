# Build options shared by every module.
option(SUITE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SUITE_TSAN "Build with ThreadSanitizer" OFF)
option(SUITE_BUILD_TESTS "Build the unit tests" ON)
option(SUITE_BUILD_BENCH "Build the benchmarks (meant for Release builds)" OFF)
option(SUITE_WERROR "Treat compiler warnings as errors" OFF)

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE Debug CACHE STRING "Build type" FORCE)
endif()

if(SUITE_SANITIZE AND SUITE_TSAN)
  message(FATAL_ERROR "SUITE_SANITIZE and SUITE_TSAN cannot be combined")
endif()

# Builds with debug information write paths into the build folder (its
# generated sources in __FILE__, the compilation folder) relative to it, so
# an installed file never names it.
if(NOT CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
  add_compile_options(-ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
endif()

# Warning flags for our own targets only (third-party code is not built here).
set(SUITE_WARNING_FLAGS -Wall -Wextra)
if(SUITE_WERROR)
  list(APPEND SUITE_WARNING_FLAGS -Werror)
endif()

if(SUITE_SANITIZE)
  # float-cast-overflow is not part of the default UBSan group.
  set(_san -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()

if(SUITE_TSAN)
  set(_san -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${_san})
  add_link_options(${_san})
endif()
