# Checks that every folder includes only what its layer may use: the core folders
# plain C++ on the layers below them, the window on top. Run as
#   cmake -DROOT=<repository> -P CheckLayers.cmake
# and fails, naming file and line, on an include that points up or across.

cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()

# folder | project folders its files may include (comma-separated) | whether Qt may be included
set(rules
    "study|study|no"
    "reader|study,reader|no"
    "reader/hid|study,reader|yes"
    "nomogram|study,nomogram|no"
    "day|study,reader,nomogram,day|no"
    "files|study,reader,nomogram,day,files|no"
    "archive|study,reader,nomogram,day,files,archive|yes"
    "charts|study,nomogram,charts|yes"
    "tools|study,reader,nomogram,day,files,tools|no"
    "tools/archive|study,reader,nomogram,day,files,archive,tools|yes"
    "fuzz|study,reader,nomogram,day,files,tools,fuzz|no"
    "fuzz/archive|study,reader,nomogram,day,files,archive,tools,fuzz|yes")

set(violations "")
foreach(rule IN LISTS rules)
    string(REPLACE "|" ";" parts "${rule}")
    list(GET parts 0 folder)
    list(GET parts 1 allowed)
    list(GET parts 2 qt)
    string(REPLACE "," ";" allowed "${allowed}")

    file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(source IN LISTS sources)
        file(RELATIVE_PATH relative "${ROOT}" "${source}")
        # A subfolder with a rule of its own is checked by that rule.
        if(folder STREQUAL "reader" AND relative MATCHES "^reader/hid/")
            continue()
        endif()
        if(folder STREQUAL "tools" AND relative MATCHES "^tools/archive/")
            continue()
        endif()
        if(folder STREQUAL "fuzz" AND relative MATCHES "^fuzz/archive/")
            continue()
        endif()
        file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS lines)
            if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/")
                set(target "${CMAKE_MATCH_1}")
                if(NOT target IN_LIST allowed)
                    string(APPEND violations "\n  ${relative}: ${line} (${folder}/ may include only ${allowed})")
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*\"[^/\"]+\"")
                string(APPEND violations "\n  ${relative}: ${line} (name the folder: \"folder/file.h\")")
            elseif(qt STREQUAL "no" AND line MATCHES "#[ \t]*include[ \t]*<Q")
                string(APPEND violations "\n  ${relative}: ${line} (${folder}/ is plain C++, no Qt)")
            endif()
        endforeach()
    endforeach()
endforeach()

# The window's methods are defined under app/ only.
file(GLOB_RECURSE all_sources "${ROOT}/study/*.cpp" "${ROOT}/reader/*.cpp" "${ROOT}/nomogram/*.cpp"
     "${ROOT}/day/*.cpp" "${ROOT}/files/*.cpp" "${ROOT}/archive/*.cpp" "${ROOT}/charts/*.cpp"
     "${ROOT}/tools/*.cpp" "${ROOT}/fuzz/*.cpp")
foreach(source IN LISTS all_sources)
    file(STRINGS "${source}" lines REGEX "TTMForm::")
    if(lines)
        file(RELATIVE_PATH relative "${ROOT}" "${source}")
        string(APPEND violations "\n  ${relative}: defines TTMForm methods outside app/")
    endif()
endforeach()

if(violations)
    message(FATAL_ERROR "Layer rules broken:${violations}")
endif()
message(STATUS "Layer rules hold.")
