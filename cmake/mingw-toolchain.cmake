# Shared by the two Windows toolchain files, which set HOPPEL_MINGW_ARCH (i686 or
# x86_64) first. The posix thread model is the one with std::mutex, which
# GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${HOPPEL_MINGW_ARCH})
set(triple ${HOPPEL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the cross-built tests through wine's loader of the same width, in
# the project's own prefix.
if(HOPPEL_MINGW_ARCH STREQUAL "x86_64")
    set(HOPPEL_WINE_WIDTH 64)
else()
    set(HOPPEL_WINE_WIDTH 32)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${HOPPEL_WINE_WIDTH})
