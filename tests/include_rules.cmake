# Run as a test: cmake -DROOT=<source dir> -P include_rules.cmake
# The folders call one way, app -> image -> stream, and a folder's internal/
# headers are its own. A quoted include names its folder from the root.
cmake_minimum_required(VERSION 3.16)
file(GLOB_RECURSE sources RELATIVE ${ROOT}
     ${ROOT}/stream/*.[ch]* ${ROOT}/image/*.[ch]* ${ROOT}/app/*.[ch]*
     ${ROOT}/tools/*.[ch]* ${ROOT}/bench/*.[ch]* ${ROOT}/tests/*.[ch]*)
# What each folder may include besides itself.
set(allowed_stream "")
set(allowed_image stream)
set(allowed_app image stream)
set(allowed_app/win32 app image stream resources)
set(allowed_tools image stream)
# The benchmarks measure the Win32 view too, as the tests test it.
set(allowed_bench app app/win32 image stream tools resources)
set(allowed_tests app app/win32 image stream tools resources)
set(faults "")
foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.(h|cpp)$")
        continue()
    endif()
    string(REGEX MATCH "^(app/win32|[^/]+)" folder ${source})
    file(STRINGS ${ROOT}/${source} includes REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header ${line})
        if(NOT header MATCHES "/")
            continue()  # beside the including file
        endif()
        string(REGEX MATCH "^(app/win32|[^/]+)" target ${header})
        if(header MATCHES "^([^/]+)/internal/" AND NOT folder MATCHES "^${CMAKE_MATCH_1}")
            list(APPEND faults "${source}: ${header} is internal to ${target}/")
        elseif(NOT target STREQUAL folder AND NOT target IN_LIST allowed_${folder})
            list(APPEND faults "${source}: ${folder}/ may not include ${header}")
        endif()
    endforeach()
endforeach()
list(LENGTH sources count)
if(faults)
    string(REPLACE ";" "\n" faults "${faults}")
    message(FATAL_ERROR "${faults}")
endif()
message(STATUS "${count} files follow the include rules")
