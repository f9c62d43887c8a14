# 32-bit Windows through MinGW-w64: the product.
set(HOPPEL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
