# Runs a command and checks its exit status and output.
#   cmake -DCMD=<;-list> -DSTATUS=<n> -DMATCH=<regex> [-DINPUT=<file>] -P expect.cmake
if(INPUT)
  execute_process(COMMAND ${CMD} INPUT_FILE ${INPUT} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
else()
  execute_process(COMMAND ${CMD} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
if(NOT rc STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${rc}, expected ${STATUS}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(MATCH AND NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "output does not match '${MATCH}'\nstdout:\n${out}\nstderr:\n${err}")
endif()
