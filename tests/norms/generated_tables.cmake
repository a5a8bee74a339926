# Runs the demonstration-table generator and compares its output with the
# files shipped in resources/.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${GENERATOR} ${WORK} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed")
endif()
file(GLOB_RECURSE generated RELATIVE ${WORK} ${WORK}/*)
list(LENGTH generated count)
if(NOT count EQUAL 14)
  message(FATAL_ERROR "expected 14 generated files, found ${count}: ${generated}")
endif()
foreach(name IN LISTS generated)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${name} ${RESOURCES}/${name}
    RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "resources/${name} differs from the generator's output; "
                        "run kelmora_generate_demo_tables resources to renew it")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
