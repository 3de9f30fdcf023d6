# Cross build for 32-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-i686).
# The posix thread model of the same compiler gives std::thread; winpthread is linked statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QND_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QND_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QND_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QND_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QND_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests of the cross build run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
