# SPDX-License-Identifier: MIT
# cmake -DLIST=files -DSTAMP=file -P check-core-sources.cmake: reads the CMake list of files
# in LIST and fails, naming the file and line, when one of them includes a toolkit, the
# command-line parser, the file system library or a thread header, throws or catches, or calls
# an elementary function the C libraries compute differently (sin, tan, atan, exp, pow...)
# anywhere but in estimation/portable_math.cpp, which the core takes them from. Writes STAMP
# when every file passes.

set(forbidden_includes "Q[A-Za-z]*" "Qt[A-Za-z]*/.*" "CLI/.*" "filesystem" "thread" "mutex"
                       "shared_mutex" "future" "condition_variable" "stop_token" "semaphore"
                       "latch" "barrier")
# Functions whose results differ in the last place between C libraries (glibc, wasi-libc).
# sqrt, fabs, floor, fmod, frexp and ldexp are exact or correctly rounded everywhere.
set(libm_functions "sin|cos|tan|asin|acos|atan|atan2|sinh|cosh|tanh|asinh|acosh|atanh|exp|exp2|"
                   "expm1|log|log2|log10|log1p|pow|cbrt|hypot|erf|erfc|tgamma|lgamma")
string(JOIN "" libm_functions ${libm_functions})
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
        # Code, not comments: a throw or catch statement, or a try block; a call of sin, ::sin or
        # std::sin (not a member function of that name).
        string(REGEX REPLACE "\"[^\"]*\"" "\"\"" code "${line}")
        string(REGEX REPLACE "//.*$" "" code "${code}")
        if(code MATCHES "(^|[^A-Za-z0-9_])(throw|try|catch)([ \t({;]|$)")
            list(APPEND problems "${file}:${number}: uses ${CMAKE_MATCH_2}")
        endif()
        if(NOT file MATCHES "/estimation/portable_math\\.cpp$" AND
           code MATCHES "(^|[^A-Za-z0-9_.>])(std::)?(${libm_functions})[ \t]*\\(")
            list(APPEND problems "${file}:${number}: calls ${CMAKE_MATCH_3} of the C library "
                                 "(use lenstally::math, estimation/portable_math.hpp)")
        endif()
    endforeach()
endforeach()
if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "The core must stay free of toolkits, threads, exceptions and the C "
                        "library's elementary functions:\n${text}\n"
                        "(a broken internal contract calls ContractFailure instead of throwing)")
endif()
file(TOUCH ${STAMP})
