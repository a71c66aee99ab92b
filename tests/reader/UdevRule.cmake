# The udev rule opens exactly the reader the protocol names, and its installer puts
# it in place. Run as
#   cmake -DROOT=<repository> -DWORK=<scratch folder> -P UdevRule.cmake

file(READ "${ROOT}/reader/Protocol.h" protocol)
string(REGEX MATCH "kReaderVendorId = 0x([0-9A-Fa-f]+)" _ "${protocol}")
string(TOLOWER "${CMAKE_MATCH_1}" vendor)
string(REGEX MATCH "kReaderProductId = 0x([0-9A-Fa-f]+)" _ "${protocol}")
string(TOLOWER "${CMAKE_MATCH_1}" product)
if(NOT vendor OR NOT product)
    message(FATAL_ERROR "reader ids not found in reader/Protocol.h")
endif()

set(rule_file "${ROOT}/packaging/70-uroflow-reader.rules")
file(STRINGS "${rule_file}" rules REGEX "^[^#]")
set(expected "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"${vendor}\", ATTRS{idProduct}==\"${product}\", TAG+=\"uaccess\"")
if(NOT rules STREQUAL expected)
    message(FATAL_ERROR "the rule is\n  ${rules}\nexpected\n  ${expected}")
endif()

file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env RULES_DIR=${WORK}
                        "${ROOT}/packaging/install-udev-rule"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install-udev-rule failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${rule_file}"
                        "${WORK}/70-uroflow-reader.rules" RESULT_VARIABLE different)
if(different)
    message(FATAL_ERROR "the installed rule differs from packaging/70-uroflow-reader.rules")
endif()
message(STATUS "The udev rule names the reader and installs.")
