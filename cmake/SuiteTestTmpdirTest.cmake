# Test of SuiteTestTmpdir.cmake (cmake -DWORK=<folder> -P SuiteTestTmpdirTest.cmake):
# the check passes on an empty TMPDIR, fails naming a file and a hidden
# folder left in it and removes them, and checks nothing when the tests ran
# with another TMPDIR.
set(_script ${CMAKE_CURRENT_LIST_DIR}/SuiteTestTmpdir.cmake)
set(_dir ${WORK}/tmp)
set(_runtime ${WORK}/runtime)

function(run_check mode expect_failure what)
  execute_process(COMMAND ${CMAKE_COMMAND} -DMODE=${mode} -DDIR=${_dir} -DRUNTIME=${_runtime} -P ${_script}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect_failure AND result EQUAL 0)
    message(FATAL_ERROR "${what}: the check passed:\n${out}${err}")
  elseif(NOT expect_failure AND NOT result EQUAL 0)
    message(FATAL_ERROR "${what}: the check failed:\n${out}${err}")
  endif()
  set(check_output "${out}${err}" PARENT_SCOPE)
endfunction()

set(ENV{TMPDIR} ${_dir})
file(MAKE_DIRECTORY ${_dir}/stale)
run_check(prepare FALSE "prepare")
file(GLOB _entries ${_dir}/*)
if(_entries OR NOT IS_DIRECTORY ${_runtime})
  message(FATAL_ERROR "prepare: TMPDIR not emptied or no runtime folder: ${_entries}")
endif()

run_check(check FALSE "an empty TMPDIR")

file(WRITE ${_dir}/left.txt "x")
file(MAKE_DIRECTORY ${_dir}/.hidden/inner)
run_check(check TRUE "a file left")
foreach(name left.txt .hidden/inner)
  string(FIND "${check_output}" "${name}" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "the check does not name ${name}:\n${check_output}")
  endif()
endforeach()
file(GLOB _entries LIST_DIRECTORIES true ${_dir}/*)
if(_entries)
  message(FATAL_ERROR "the check left what it named: ${_entries}")
endif()

file(WRITE ${_dir}/left.txt "x")
set(ENV{TMPDIR} ${WORK})
run_check(check FALSE "another TMPDIR")
file(REMOVE_RECURSE ${WORK})
