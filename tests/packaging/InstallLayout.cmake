# Installs the build into a scratch folder as the package does and checks what a user
# meets there: every file in its place, the menu entry and the software-centre entry valid,
# the manual pages without groff's complaints, and the installed program finding its
# demo day. Run as
#   cmake -DBUILD=<build folder> -DWORK=<scratch folder> -DVERSION=<x.y> -P InstallLayout.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${WORK}/usr"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

set(expected
    bin/uroflow bin/uroflow-report bin/uroflow-archive
    lib/udev/rules.d/70-uroflow-reader.rules
    share/applications/ru.uroflow.Uroflow.desktop
    share/icons/hicolor/scalable/apps/uroflow.svg
    share/icons/hicolor/256x256/apps/uroflow.png
    share/metainfo/ru.uroflow.Uroflow.metainfo.xml
    share/man/man1/uroflow.1.gz share/man/man1/uroflow-report.1.gz
    share/man/man1/uroflow-archive.1.gz
    share/uroflow/demo-day.txt
    share/doc/uroflow/copyright share/doc/uroflow/changelog.gz)
set(failures "")
foreach(file IN LISTS expected)
    if(NOT EXISTS "${WORK}/usr/${file}")
        string(APPEND failures "\n  missing: ${file}")
    endif()
endforeach()

# The validators and man are checked where they are installed.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE}
                            "${WORK}/usr/share/applications/ru.uroflow.Uroflow.desktop"
                    RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(NOT result EQUAL 0 OR said)
        string(APPEND failures "\n  desktop-file-validate: ${said}")
    endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net
                            "${WORK}/usr/share/metainfo/ru.uroflow.Uroflow.metainfo.xml"
                    RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(NOT result EQUAL 0)
        string(APPEND failures "\n  appstreamcli validate: ${said}")
    endif()
endif()
# The changelog has a maintainer and a date where dpkg looks for them.
find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
if(DPKG_PARSECHANGELOG)
    execute_process(COMMAND gzip -dc "${WORK}/usr/share/doc/uroflow/changelog.gz"
                    OUTPUT_FILE "${WORK}/changelog" RESULT_VARIABLE result)
    execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l "${WORK}/changelog" -S Maintainer
                    RESULT_VARIABLE result OUTPUT_VARIABLE maintainer ERROR_VARIABLE said)
    if(NOT result EQUAL 0 OR said OR NOT maintainer MATCHES "<.+@.+>")
        string(APPEND failures "\n  changelog: ${maintainer} ${said}")
    endif()
endif()
find_program(MAN man)
if(MAN)
    foreach(page uroflow uroflow-report uroflow-archive)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 LC_ALL=C.UTF-8
                                ${MAN} --warnings -E UTF-8 -l -Tutf8
                                "${WORK}/usr/share/man/man1/${page}.1.gz"
                        RESULT_VARIABLE result OUTPUT_VARIABLE shown ERROR_VARIABLE said)
        if(NOT result EQUAL 0 OR said OR NOT shown MATCHES "${VERSION}")
            string(APPEND failures "\n  man ${page}: ${said}")
        endif()
    endforeach()
endif()

# The installed program works from where it was installed, and looks for its demo day
# there: taken away, --demo names the place it was looked for (and opens no window).
execute_process(COMMAND "${WORK}/usr/bin/uroflow" --day-report "${WORK}/demo.pdf"
                        "${WORK}/usr/share/uroflow/demo-day.txt"
                RESULT_VARIABLE result ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR NOT EXISTS "${WORK}/demo.pdf")
    string(APPEND failures "\n  installed uroflow --day-report: ${result} ${said}")
endif()
file(RENAME "${WORK}/usr/share/uroflow/demo-day.txt" "${WORK}/demo-day.txt")
execute_process(COMMAND "${WORK}/usr/bin/uroflow" --demo RESULT_VARIABLE result
                ERROR_VARIABLE said TIMEOUT 60)
if(NOT result EQUAL 1 OR NOT said MATCHES "demo day is missing[^\n]*: ${WORK}/usr/share/uroflow/demo-day.txt")
    string(APPEND failures "\n  installed uroflow --demo without its demo day: ${result} ${said}")
endif()

if(failures)
    message(FATAL_ERROR "The installation is not as a user needs it:${failures}")
endif()
file(REMOVE_RECURSE "${WORK}")
message(STATUS "Installed files in place and valid.")
