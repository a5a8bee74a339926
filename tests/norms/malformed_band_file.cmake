# Copies the shipped band files, puts a malformed line 4 into one, and expects the table
# compiler to fail with that file and line.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB bands ${NORMS}/*.csv)
file(COPY ${bands} DESTINATION ${WORK})
file(READ ${WORK}/35.csv rows)
file(WRITE ${WORK}/35.csv "Kd;1;0;3\n\n\nKd;7;12\n${rows}")

execute_process(COMMAND ${COMPILER} ${WORK}/out.cpp ${WORK}
  RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_QUIET)
if(result EQUAL 0)
  message(FATAL_ERROR "the compiler accepted a malformed band file")
endif()
if(NOT errors MATCHES "35\\.csv:4: error: expected 4 fields")
  message(FATAL_ERROR "unexpected message: ${errors}")
endif()
if(EXISTS ${WORK}/out.cpp)
  message(FATAL_ERROR "a source was written although a band file is malformed")
endif()
file(REMOVE_RECURSE ${WORK})
