# Checks one target's includes against the layers (see layers.cmake).
#   cmake -DARGS=<target's arguments file> -DSTAMP=<file to touch> -P check_includes.cmake
# The arguments file sets TARGET, SOURCE_ROOT, FILES, FOLDERS (every
# library's folder, ending in "/"), ALLOWED (the folders this target may
# include from) and QT (whether it may include Qt).
cmake_minimum_required(VERSION 3.22)
include(${ARGS})

set(failures "")
foreach(file ${FILES})
    if(NOT EXISTS ${file})
        continue()
    endif()
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(included ${CMAKE_MATCH_1})
            # The folder owning the header: the longest library folder
            # the path starts with.  Paths outside every library folder
            # (a header beside the file, a system header) are not ours.
            set(owner "")
            set(owner_length 0)
            foreach(folder ${FOLDERS})
                string(LENGTH "${folder}" length)
                string(SUBSTRING "${included}" 0 ${length} head)
                if(head STREQUAL folder AND length GREATER owner_length)
                    set(owner ${folder})
                    set(owner_length ${length})
                endif()
            endforeach()
            if(owner AND NOT owner IN_LIST ALLOWED)
                string(REPLACE "${SOURCE_ROOT}" "src/" shown ${file})
                list(APPEND failures "${shown}: includes \"${included}\" from ${owner}, which ${TARGET} does not link")
            endif()
        elseif(NOT QT AND line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
            string(REPLACE "${SOURCE_ROOT}" "src/" shown ${file})
            list(APPEND failures "${shown}: includes Qt (<${CMAKE_MATCH_1}>), but ${TARGET} is a Qt-free library")
        endif()
    endforeach()
endforeach()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "Includes across the layers:\n  ${text}\n"
        "A library may include only its own headers and those of the libraries it links; "
        "move the code down a layer or pass what it needs in from above.")
endif()
file(TOUCH ${STAMP})
