# Runs one program and checks its exit status and what it printed:
#   cmake -DEXPECT_EXIT=n -DEXPECT_OUTPUT=regex -P run_and_check.cmake -- program args...
# Standard output and standard error are checked together.
set(command)
set(after_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 0 ${last})
  if(after_separator)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif(CMAKE_ARGV${i} STREQUAL "--")
    set(after_separator TRUE)
  endif()
endforeach()

execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(printed "${out}${err}")
if(NOT status STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_EXIT}; printed:\n${printed}")
endif()
if(NOT printed MATCHES "${EXPECT_OUTPUT}")
  message(FATAL_ERROR "output does not match \"${EXPECT_OUTPUT}\":\n${printed}")
endif()
