# SPDX-License-Identifier: MIT
# Toolchain for WebAssembly (wasm32-wasi) with Debian 12's clang 14 and its packages: wasi-libc,
# libc++-14-dev-wasm32, libc++abi-14-dev-wasm32, libclang-rt-14-dev-wasm32 and lld-14, plus
# LLVM's archiver (llvm-14) and binaryen's wasm-opt. Modules link as reactors (no main; the host
# calls _initialize, then the exported functions), without exceptions, with unused sections
# dropped.
#
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake
#
# clang's default sysroot (/usr) would put the host's glibc headers on the include path, so this
# file builds a sysroot of symlinks in the build folder holding only the WASI C library, libc++
# for wasm32, and the header-only libraries the core reads (fast_float, nlohmann-json and Boost).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# Generic resets CMAKE_EXECUTABLE_SUFFIX after this file; the per-language one stays.
set(CMAKE_EXECUTABLE_SUFFIX_C .wasm)
set(CMAKE_EXECUTABLE_SUFFIX_CXX .wasm)

# Where Debian puts the pieces; another layout can point these elsewhere.
set(LENSTALLY_WASI_PREFIX /usr CACHE PATH "Prefix holding include/wasm32-wasi and lib/wasm32-wasi")
set(LENSTALLY_HEADER_PREFIX /usr/include CACHE PATH
    "Folder holding the header-only libraries the core reads (fast_float, nlohmann, boost)")
# Not cached, so that a build folder configured before a library joined the list still gets it.
set(LENSTALLY_WASI_HEADER_LIBRARIES ${LENSTALLY_HEADER_PREFIX}/fast_float
    ${LENSTALLY_HEADER_PREFIX}/nlohmann ${LENSTALLY_HEADER_PREFIX}/boost)

# Each program the build runs, found by name or the configure step stops, naming the Debian
# package that holds it.
function(lenstally_wasm_program variable package)
    find_program(${variable} NAMES ${ARGN})
    if(NOT ${variable})
        message(FATAL_ERROR "wasm32-wasi: none of ${ARGN} is installed "
                            "(Debian package ${package}: scripts/ensure-packages web)")
    endif()
endfunction()
lenstally_wasm_program(LENSTALLY_WASM_CXX clang-14 clang++-14 clang++)
lenstally_wasm_program(LENSTALLY_WASM_C clang-14 clang-14 clang)
# Static libraries of wasm objects need LLVM's archiver: GNU ar writes no symbol index for them,
# and wasm-ld then refuses the archive.
lenstally_wasm_program(LENSTALLY_WASM_AR llvm-14 llvm-ar-14 llvm-ar)
lenstally_wasm_program(LENSTALLY_WASM_RANLIB llvm-14 llvm-ranlib-14 llvm-ranlib)
# clang runs wasm-opt by itself, with flags of its choosing, whenever it finds it on PATH and an
# optimisation level reaches the link line. The link line below ends in -O0 so it never does;
# the build runs this wasm-opt on purpose with LENSTALLY_WASM_OPT_FLAGS, the same on every machine.
lenstally_wasm_program(LENSTALLY_WASM_OPT binaryen wasm-opt)
set(LENSTALLY_WASM_OPT_FLAGS -O2 --strip-debug --strip-producers
    CACHE STRING "The fixed flags wasm-opt runs with on every module")
# The page carries the module gzipped by zopfli, the smallest gzip stream for its size.
lenstally_wasm_program(LENSTALLY_ZOPFLI zopfli zopfli)
# Its script and style sheet minified by esbuild.
lenstally_wasm_program(LENSTALLY_ESBUILD esbuild esbuild)

set(CMAKE_C_COMPILER ${LENSTALLY_WASM_C})
set(CMAKE_CXX_COMPILER ${LENSTALLY_WASM_CXX})
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_AR ${LENSTALLY_WASM_AR} CACHE FILEPATH "The archiver of wasm static libraries" FORCE)
set(CMAKE_RANLIB ${LENSTALLY_WASM_RANLIB} CACHE FILEPATH "The indexer of wasm static libraries" FORCE)

# The sysroot is made once in the top build folder; try_compile projects get its path passed in.
if(NOT LENSTALLY_WASI_SYSROOT)
    set(LENSTALLY_WASI_SYSROOT ${CMAKE_BINARY_DIR}/wasi-sysroot)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LENSTALLY_WASI_SYSROOT
     LENSTALLY_WASI_PREFIX LENSTALLY_HEADER_PREFIX)
foreach(needed IN ITEMS include/wasm32-wasi/stdio.h include/wasm32-wasi/c++/v1/string
                        lib/wasm32-wasi/libc.a lib/wasm32-wasi/crt1-reactor.o
                        lib/wasm32-wasi/libc++.a lib/wasm32-wasi/libc++abi.a)
    if(NOT EXISTS ${LENSTALLY_WASI_PREFIX}/${needed})
        message(FATAL_ERROR "wasm32-wasi: ${LENSTALLY_WASI_PREFIX}/${needed} is missing "
                            "(Debian: scripts/ensure-packages web)")
    endif()
endforeach()
file(MAKE_DIRECTORY ${LENSTALLY_WASI_SYSROOT}/include ${LENSTALLY_WASI_SYSROOT}/lib)
file(CREATE_LINK ${LENSTALLY_WASI_PREFIX}/include/wasm32-wasi
     ${LENSTALLY_WASI_SYSROOT}/include/wasm32-wasi SYMBOLIC)
file(CREATE_LINK ${LENSTALLY_WASI_PREFIX}/lib/wasm32-wasi
     ${LENSTALLY_WASI_SYSROOT}/lib/wasm32-wasi SYMBOLIC)
foreach(folder IN LISTS LENSTALLY_WASI_HEADER_LIBRARIES)
    if(NOT IS_DIRECTORY ${folder})
        message(FATAL_ERROR "wasm32-wasi: ${folder} is missing (Debian: scripts/ensure-packages web)")
    endif()
    get_filename_component(name ${folder} NAME)
    file(CREATE_LINK ${folder} ${LENSTALLY_WASI_SYSROOT}/include/${name} SYMBOLIC)
endforeach()
set(CMAKE_SYSROOT ${LENSTALLY_WASI_SYSROOT})

# Everything is looked for inside the sysroot except programs, which run on the host.
set(CMAKE_FIND_ROOT_PATH ${LENSTALLY_WASI_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_C_FLAGS_INIT "-fno-exceptions")
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
# Release is optimised for size: the page carries the module inlined, and a smaller module is
# decoded, inflated and compiled sooner, while the core's work for one user action stays small.
# -Oz across the whole program (link-time optimisation) makes the smallest module: -Os inlines
# more once it sees every caller. (CMake would append its -O3 to a _INIT value, so the cached
# flags are given whole.)
set(CMAKE_C_FLAGS_RELEASE "-Oz -flto -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-Oz -flto -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-flto")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-mexec-model=reactor -Wl,--gc-sections -Wl,-z,stack-size=1048576 -O0")
