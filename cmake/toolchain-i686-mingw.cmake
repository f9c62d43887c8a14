# 32-bit Windows through MinGW-w64: the product.
set(HOPPEL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
# SSE2 is the floor: every Windows the program supports requires it (since
# Windows 8). Windows may enter the window procedure with a stack aligned to 4
# bytes only, so functions realign it before spilling 16-byte values.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
