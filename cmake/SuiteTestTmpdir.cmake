# The tests' private TMPDIR: every test of a build runs with TMPDIR set to
# <build>/test-tmp (the test presets' environment), and ctest runs this
# script before the first test and after the last one (CTestCustom.cmake of
# the build, written by SuiteTargets.cmake):
#
#   cmake -DMODE=prepare -DDIR=<build>/test-tmp -P SuiteTestTmpdir.cmake
#       an empty folder before the tests;
#   cmake -DMODE=check -DDIR=<build>/test-tmp -P SuiteTestTmpdir.cmake
#       fails, naming them, when the tests left anything in it, and removes
#       what they left.
#
# A test run without the presets' TMPDIR (ctest with no --preset) is not
# checked; the check says so.
if(NOT DIR)
  message(FATAL_ERROR "SuiteTestTmpdir: no DIR")
endif()

if(MODE STREQUAL "prepare")
  file(REMOVE_RECURSE "${DIR}")
  file(MAKE_DIRECTORY "${DIR}")
  return()
endif()

if(NOT MODE STREQUAL "check")
  message(FATAL_ERROR "SuiteTestTmpdir: MODE is prepare or check, not '${MODE}'")
endif()

file(REAL_PATH "${DIR}" _dir)
if(DEFINED ENV{TMPDIR})
  file(REAL_PATH "$ENV{TMPDIR}" _tmpdir)
else()
  set(_tmpdir "")
endif()
if(NOT _tmpdir STREQUAL _dir)
  message(STATUS "The tests ran with TMPDIR '$ENV{TMPDIR}', not their private folder ${DIR} "
    "(ctest --preset gives it): what they left in it is not checked")
  return()
endif()

# (The pattern * also matches names that start with a dot.)
file(GLOB_RECURSE _files LIST_DIRECTORIES true "${DIR}/*")
if(NOT _files)
  return()
endif()
list(LENGTH _files _count)
list(SORT _files)
list(SUBLIST _files 0 40 _shown)
list(JOIN _shown "\n  " _list)
file(REMOVE_RECURSE ${_files})
message(FATAL_ERROR "The tests left ${_count} files and folders in their TMPDIR ${DIR} (now removed):\n  ${_list}")
