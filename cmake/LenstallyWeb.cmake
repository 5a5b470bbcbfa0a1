# SPDX-License-Identifier: MIT
# The browser edition inside the native build: where the WebAssembly toolchain is installed
# (Debian: scripts/ensure-packages web), a nested build with cmake/wasm32-wasi.cmake writes
# lenstally.html and lenstally.mjs into web/ of the build folder, and the install puts the page
# into share/lenstally/. Elsewhere everything else builds, tests and installs as before, and
# LENSTALLY_WEB_PAGE is empty.
set(LENSTALLY_WEB AUTO CACHE STRING
    "Build the browser edition: ON, OFF, or AUTO (when the WebAssembly toolchain is installed)")
set_property(CACHE LENSTALLY_WEB PROPERTY STRINGS ON OFF AUTO)
set(LENSTALLY_WEB_PAGE "")
set(LENSTALLY_WEB_MODULE "")

if(NOT LENSTALLY_WEB STREQUAL "OFF")
    set(missing "")
    foreach(needed IN ITEMS /usr/include/wasm32-wasi/stdio.h /usr/lib/wasm32-wasi/libc++.a
                            /usr/lib/wasm32-wasi/libc++abi.a /usr/include/fast_float
                            /usr/include/nlohmann /usr/include/boost)
        if(NOT EXISTS ${needed})
            list(APPEND missing ${needed})
        endif()
    endforeach()
    find_program(LENSTALLY_WEB_CLANG NAMES clang++-14 clang++)
    find_program(LENSTALLY_WEB_WASM_LD NAMES wasm-ld-14 wasm-ld)
    find_program(LENSTALLY_WEB_WASM_OPT NAMES wasm-opt)
    # The archiver cmake/wasm32-wasi.cmake requires (GNU ar cannot index wasm objects).
    find_program(LENSTALLY_WEB_AR NAMES llvm-ar-14 llvm-ar)
    find_program(LENSTALLY_WEB_RANLIB NAMES llvm-ranlib-14 llvm-ranlib)
    find_program(LENSTALLY_WEB_ZOPFLI NAMES zopfli)
    find_program(LENSTALLY_WEB_ESBUILD NAMES esbuild)
    find_package(Python3 COMPONENTS Interpreter)
    foreach(program IN ITEMS LENSTALLY_WEB_CLANG LENSTALLY_WEB_WASM_LD LENSTALLY_WEB_WASM_OPT
                             LENSTALLY_WEB_AR LENSTALLY_WEB_RANLIB LENSTALLY_WEB_ZOPFLI
                             LENSTALLY_WEB_ESBUILD)
        if(NOT ${program})
            list(APPEND missing ${program})
        endif()
    endforeach()
    if(NOT Python3_Interpreter_FOUND)
        list(APPEND missing python3)
    endif()
    if(missing AND LENSTALLY_WEB STREQUAL "ON")
        message(FATAL_ERROR "LENSTALLY_WEB is ON but the WebAssembly toolchain lacks: ${missing}")
    elseif(missing)
        message(STATUS "Browser edition: not built (missing ${missing}; "
                       "Debian: scripts/ensure-packages web)")
    else()
        include(ExternalProject)
        set(web ${PROJECT_BINARY_DIR}/web)
        set(LENSTALLY_WEB_PAGE ${web}/lenstally.html)
        set(LENSTALLY_WEB_MODULE ${web}/lenstally.mjs)
        # Built every time the native build is: the nested build decides itself what changed.
        ExternalProject_Add(lenstally_web_build
            SOURCE_DIR ${PROJECT_SOURCE_DIR}
            BINARY_DIR ${web}
            CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/wasm32-wasi.cmake
                       -DCMAKE_BUILD_TYPE=Release
                       -DLENSTALLY_WERROR=${LENSTALLY_WERROR}
            BUILD_ALWAYS ON
            INSTALL_COMMAND ""
            BUILD_BYPRODUCTS ${LENSTALLY_WEB_PAGE} ${LENSTALLY_WEB_MODULE}
            USES_TERMINAL_BUILD ON)
        add_dependencies(lenstally-all lenstally_web_build)
        install(FILES ${LENSTALLY_WEB_PAGE} ${LENSTALLY_WEB_MODULE}
                DESTINATION ${CMAKE_INSTALL_DATADIR}/lenstally)
        message(STATUS "Browser edition: built in ${web}")
    endif()
endif()
