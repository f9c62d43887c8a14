# GoogleTest for both builds: Debian's package natively, its sources cross-built for Windows.
if(HOPPEL_TESTS AND NOT HOPPEL_FUZZ)
    if(CMAKE_CROSSCOMPILING)
        set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        # One thread in wasm.
        set(gtest_disable_pthreads ${EMSCRIPTEN} CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        # GoogleTest's own sources are not ours to keep warning-free, nor
        # worth optimising: at -O1 they compile in a third of the time.
        foreach(t gtest gtest_main)
            target_compile_options(${t} PRIVATE -w -O1)
            if(EMSCRIPTEN)
                target_compile_options(${t} PUBLIC -fexceptions)
            endif()
        endforeach()
        # Newer GoogleTest sources define these aliases themselves.
        if(NOT TARGET GTest::gtest)
            add_library(GTest::gtest ALIAS gtest)
            add_library(GTest::gtest_main ALIAS gtest_main)
        endif()
    else()
        find_package(GTest REQUIRED)
        include(GoogleTest)
    endif()
endif()

# hoppel_add_test(<name> SOURCES ... LIBS ...)
# Natively every test case becomes its own ctest entry; under wine one process per
# executable keeps the emulator's start-up cost down.
function(hoppel_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    if(EMSCRIPTEN)
        # Catching is off by default in wasm (EXPECT_THROW needs it); the tests
        # reach the host's files through Node.
        # -O1 at the link: wasm-opt at -O3 over a test program costs minutes.
        target_link_options(${name} PRIVATE -fexceptions -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -O1)
    endif()
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    else()
        gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                             DISCOVERY_TIMEOUT 30)
    endif()
endfunction()
