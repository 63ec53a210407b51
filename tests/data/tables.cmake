# Turns a table of tests/data (comma-separated, text in double quotes, '#' lines are comments)
# into brace-enclosed rows that C++ code includes into an array initialiser:
#     constexpr Row kRows[] = {
#     #include "timebase.inc"
#     };
# The table is read when CMake configures, and an edit of it configures again.
function(tracely_data_table csv output)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${csv})
    file(STRINGS ${csv} lines ENCODING UTF-8)
    set(rows "// Generated from ${csv}; edit the table, not this file.\n")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        if(line STREQUAL "" OR line MATCHES "^#")
            continue()
        endif()
        string(APPEND rows "{${line}},\n")
    endforeach()
    file(CONFIGURE OUTPUT ${output} CONTENT "${rows}" @ONLY)
endfunction()
