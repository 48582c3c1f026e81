# Writes one CTest test per test function of a QtTest program, so that the functions of a slow
# program run side by side. Run after the program is built:
#   cmake -DPROGRAM=<file> -DNAME=<test name> -DOUTPUT=<file to write> -DENVIRONMENT=<a|b> -DTIMEOUT=<s> -P SplitTests.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ${PROGRAM} -functions
  OUTPUT_VARIABLE listed
  RESULT_VARIABLE result)
string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*\\(\\)" functions "${listed}")
if(NOT result EQUAL 0 OR NOT functions)
  message(FATAL_ERROR "${PROGRAM} -functions listed no test function (exit ${result})")
endif()
string(REPLACE "|" "\\;" environment "${ENVIRONMENT}")
set(tests "")
foreach(f ${functions})
  string(REPLACE "()" "" f "${f}")
  string(APPEND tests "add_test(\"${NAME}/${f}\" \"${PROGRAM}\" \"${f}\")\n"
                      "set_tests_properties(\"${NAME}/${f}\" PROPERTIES ENVIRONMENT \"${environment}\" TIMEOUT ${TIMEOUT})\n")
endforeach()
file(WRITE "${OUTPUT}" "${tests}")
