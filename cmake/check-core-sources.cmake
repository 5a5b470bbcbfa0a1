# SPDX-License-Identifier: MIT
# cmake -DLIST=files -DSTAMP=file -P check-core-sources.cmake: reads the CMake list of files
# in LIST and fails, naming the file and line, when one of them includes a toolkit, the
# command-line parser, the file system library or a thread header, or throws or catches. Writes
# STAMP when every file passes.

set(forbidden_includes "Q[A-Za-z]*" "Qt[A-Za-z]*/.*" "CLI/.*" "filesystem" "thread" "mutex"
                       "shared_mutex" "future" "condition_variable" "stop_token" "semaphore"
                       "latch" "barrier")
file(READ ${LIST} files)
set(problems)
foreach(file ${files})
    file(STRINGS ${file} lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        foreach(header ${forbidden_includes})
            if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"](${header})[>\"]")
                list(APPEND problems "${file}:${number}: includes <${CMAKE_MATCH_1}>")
            endif()
        endforeach()
        # Code, not comments: a throw or catch statement, or a try block.
        string(REGEX REPLACE "\"[^\"]*\"" "\"\"" code "${line}")
        string(REGEX REPLACE "//.*$" "" code "${code}")
        if(code MATCHES "(^|[^A-Za-z0-9_])(throw|try|catch)([ \t({;]|$)")
            list(APPEND problems "${file}:${number}: uses ${CMAKE_MATCH_2}")
        endif()
    endforeach()
endforeach()
if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "The core must stay free of toolkits, threads and exceptions:\n${text}\n"
                        "(a broken internal contract calls ContractFailure instead of throwing)")
endif()
file(TOUCH ${STAMP})
