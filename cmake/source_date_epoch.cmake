# cmake -DSOURCE_DIR=... -DOUT=... -P source_date_epoch.cmake
# Writes the release's time stamp to OUT: SOURCE_DATE_EPOCH when set, else the
# time of the commit checked out, else 0. OUT is rewritten only when it
# changes, so the exe is relinked only then.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0)
        set(epoch "")
    endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
    set(epoch 0)
endif()
set(old "")
if(EXISTS "${OUT}")
    file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL "${epoch}")
    file(WRITE "${OUT}" "${epoch}")
endif()
