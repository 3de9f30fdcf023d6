# The product: 32-bit Windows programs (package g++-mingw-w64-i686).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QND_MINGW_PREFIX i686-w64-mingw32)
set(QND_WINE_BITS 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
