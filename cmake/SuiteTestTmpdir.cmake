# The tests' private TMPDIR: every test of a build runs with TMPDIR set to
# <build>/test-tmp and XDG_RUNTIME_DIR to <build>/test-runtime (the test
# presets' environment; without a runtime folder Qt makes
# TMPDIR/runtime-USER), and ctest runs this script before the first test and
# after the last one (CTestCustom.cmake of the build, written by the
# top-level CMakeLists.txt):
#
#   cmake -DMODE=prepare -DDIR=<build>/test-tmp -DRUNTIME=<build>/test-runtime -P SuiteTestTmpdir.cmake
#       both folders empty before the tests (the runtime folder private to
#       its owner, as a session's is);
#   cmake -DMODE=check -DDIR=<build>/test-tmp -P SuiteTestTmpdir.cmake
#       fails, naming them, when the tests left anything in TMPDIR, and
#       removes what they left.
#
# A test run without the presets' TMPDIR (ctest with no --preset) is not
# checked; the check says so.
if(NOT DIR)
  message(FATAL_ERROR "SuiteTestTmpdir: no DIR")
endif()

if(MODE STREQUAL "prepare")
  file(REMOVE_RECURSE "${DIR}")
  file(MAKE_DIRECTORY "${DIR}")
  if(RUNTIME)
    file(REMOVE_RECURSE "${RUNTIME}")
    file(MAKE_DIRECTORY "${RUNTIME}")
    file(CHMOD "${RUNTIME}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  endif()
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
