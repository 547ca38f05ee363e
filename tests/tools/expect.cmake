# Runs a command and checks its exit status and output.
#   cmake -DCMD=<;-list> -DSTATUS=<n> -DMATCH=<regex> -P expect.cmake
execute_process(COMMAND ${CMD} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${rc}, expected ${STATUS}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(MATCH AND NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "output does not match '${MATCH}'\nstdout:\n${out}\nstderr:\n${err}")
endif()
