# 64-bit Windows through MinGW-w64: the product's twin, from the same sources.
set(HOPPEL_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
