# Runs one command-line tool as a user does and checks what it did. Run as
#   cmake -DTOOL=<program> [-DARGS=a|b] [-DINPUT=<file>] -DEXIT_CODE=<n>
#         [-DEXPECTED=<file>] [-DSTDERR=<regex>] [-DSTDOUT=<regex>] [-DSTDOUT_TO=<file>]
#         -P RunTool.cmake
# INPUT is the data file, given last; EXPECTED must equal the standard output byte for byte
# (a difference is shown as a diff); STDOUT_TO sends the output to a file such as /dev/full.

cmake_minimum_required(VERSION 3.25)

foreach(required TOOL EXIT_CODE)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "${required} is not set")
    endif()
endforeach()
foreach(data INPUT EXPECTED)
    if(DEFINED ${data} AND NOT EXISTS "${${data}}")
        message(FATAL_ERROR "data file missing: ${${data}} "
                            "(samples/README.md says how the golden days are made)")
    endif()
endforeach()

string(REPLACE "|" ";" args "${ARGS}")
if(DEFINED INPUT)
    list(APPEND args "${INPUT}")
endif()
# The output is kept in the test's folder, named after the command, for a look after a failure.
string(MD5 run "${TOOL};${args}")
set(output_file "${CMAKE_CURRENT_BINARY_DIR}/tool-output-${run}.txt")
if(DEFINED STDOUT_TO)
    set(output_file "${STDOUT_TO}")
endif()

execute_process(COMMAND "${TOOL}" ${args}
                OUTPUT_FILE "${output_file}"
                ERROR_VARIABLE stderr
                RESULT_VARIABLE code)

set(failures "")
if(NOT code STREQUAL EXIT_CODE)
    string(APPEND failures "\n  exit code ${code}, expected ${EXIT_CODE}")
endif()
if(DEFINED STDERR AND NOT stderr MATCHES "${STDERR}")
    string(APPEND failures "\n  standard error does not match \"${STDERR}\"")
endif()
if(DEFINED STDOUT)
    file(READ "${output_file}" stdout)
    if(NOT stdout MATCHES "${STDOUT}")
        string(APPEND failures "\n  standard output does not match \"${STDOUT}\":\n${stdout}")
    endif()
endif()
if(DEFINED EXPECTED)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${output_file}" "${EXPECTED}"
                    RESULT_VARIABLE different)
    if(different)
        find_program(DIFF diff)
        set(shown "")
        if(DIFF)
            execute_process(COMMAND ${DIFF} -u "${EXPECTED}" "${output_file}" OUTPUT_VARIABLE shown)
        endif()
        string(APPEND failures "\n  output differs from ${EXPECTED}:\n${shown}")
    endif()
endif()
if(failures)
    message(FATAL_ERROR "${TOOL} ${args}:${failures}\nstandard error:\n${stderr}")
endif()
