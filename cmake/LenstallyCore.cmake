# SPDX-License-Identifier: MIT
# The core (estimation/, form/, project/) builds anywhere a C++20 compiler and its standard
# library do, the browser's WebAssembly included: no toolkit, no command-line parser, no file
# system library, no threads and no exceptions of its own. lenstally_core_library() makes a
# breach of that a build error, whatever the compiler finds on its include path (CLI11 and the
# standard headers are always there).

set(LENSTALLY_CORE_CHECK ${CMAKE_CURRENT_LIST_DIR}/check-core-sources.cmake)

# lenstally_core_library(target SOURCES ... [ALLOW_THROW file])
# A static library of the core. ALLOW_THROW names the one source that may throw: the contract
# failure of builds with exceptions.
function(lenstally_core_library target)
    cmake_parse_arguments(C "" "ALLOW_THROW" "SOURCES" ${ARGN})
    add_library(${target} STATIC ${C_SOURCES})
    target_link_libraries(${target} PRIVATE lenstally_warnings)
    # Every source and header of the folder, including headers no source of it includes yet.
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.hpp)
    set(checked)
    foreach(file ${C_SOURCES} ${headers})
        get_filename_component(file ${file} ABSOLUTE)
        if(NOT file STREQUAL "${CMAKE_CURRENT_SOURCE_DIR}/${C_ALLOW_THROW}")
            list(APPEND checked ${file})
        endif()
    endforeach()
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.core-check)
    set(list ${CMAKE_CURRENT_BINARY_DIR}/${target}.core-files)
    file(WRITE ${list} "${checked}")
    add_custom_command(OUTPUT ${stamp}
                       COMMAND ${CMAKE_COMMAND} -DLIST=${list} -DSTAMP=${stamp}
                               -P ${LENSTALLY_CORE_CHECK}
                       DEPENDS ${checked} ${LENSTALLY_CORE_CHECK}
                       COMMENT "Checking that ${target} stays toolkit-free and throws nothing")
    add_custom_target(${target}_core_check DEPENDS ${stamp})
    add_dependencies(${target} ${target}_core_check)
endfunction()
