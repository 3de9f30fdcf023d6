# Cross build for Windows with Debian's mingw-w64, shared by the 32-bit and the 64-bit toolchain:
# each sets QND_MINGW_PREFIX, CMAKE_SYSTEM_PROCESSOR and QND_WINE_BITS, then includes this file.
# The posix thread model of the compilers gives std::thread; winpthread is linked statically.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QND_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QND_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QND_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QND_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No GoogleTest is built for mingw-w64: the tests build it from Debian's sources (package
# googletest) with the cross compiler.
set(QND_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, built with the tests")

# Tests of the cross build run under Wine, through the loader of their own width.
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/../tools/wine_exec.sh ${QND_WINE_BITS})
