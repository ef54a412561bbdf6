# Fails when the name of a test does not say which case it runs: a
# parameterised case named only by its index, or by a dump of its value.
#   cmake -DBUILD=<build folder> -P CheckTestNames.cmake
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${BUILD} -N
                OUTPUT_VARIABLE list RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "ctest -N failed")
endif()
string(REGEX MATCHALL "Test +#[0-9]+: [^\n]*(GetParam|byte object|/[0-9]+\n)[^\n]*" unreadable
       "${list}")
if(unreadable)
  string(REPLACE ";" "\n" unreadable "${unreadable}")
  message(FATAL_ERROR "tests without a readable name:\n${unreadable}")
endif()
string(REGEX MATCHALL "Test +#[0-9]+: [^\n]*/" parameterised "${list}")
list(LENGTH parameterised count)
message(STATUS "${count} parameterised cases, each with a readable name")
