# cmake -DSOURCE_DIR=... -DOUT=... -P source_date_epoch.cmake
# Writes the release's time stamp to OUT: SOURCE_DATE_EPOCH when set, else the
# time of the commit checked out. Neither readable is an error, not a date:
# a guessed date would give other bytes than the commit's release. OUT is
# rewritten only when it changes, so the exe is relinked only then.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_VARIABLE why ERROR_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        # git's first line says why (no repository, another user's, no git).
        if(why STREQUAL "")
            set(why "${status}")
        endif()
        string(REGEX REPLACE "\n.*" "" why "${why}")
        message(FATAL_ERROR "no source date: git cannot read the commit's time in ${SOURCE_DIR} "
                            "(${why}); set SOURCE_DATE_EPOCH to build elsewhere")
    endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "no source date: '${epoch}' is no number of seconds (SOURCE_DATE_EPOCH or git)")
endif()
set(old "")
if(EXISTS "${OUT}")
    file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL "${epoch}")
    file(WRITE "${OUT}" "${epoch}")
endif()
