# The browser build through Debian's Emscripten, whose system libraries come
# prebuilt: nothing is fetched. Its JavaScript tools find their modules only
# through NODE_PATH when another Node comes first on the PATH (the web preset
# sets it for every step).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# Node 18 and later would try its own fetch on the emitted loader.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/node --no-experimental-fetch)
# SIMD in wasm: the slap's portable rows vectorise, as SSE2 does natively.
set(CMAKE_C_FLAGS_INIT "-msimd128")
set(CMAKE_CXX_FLAGS_INIT "-msimd128")
