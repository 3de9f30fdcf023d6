# The same sources as 64-bit Windows programs (package g++-mingw-w64-x86-64), so that the Windows
# tests also run where the machine cannot execute 32-bit code and only 64-bit Wine works.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QND_MINGW_PREFIX x86_64-w64-mingw32)
set(QND_WINE_BITS 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
