# Holds every file of the layered folders to the declared direction; run as
#   cmake -D LAYERS=<rules file> -D SOURCE_DIR=<tree> [-D STAMP=<file>] -P CheckLayers.cmake
#
# The rules file (written by brindle_layer_check in BrindleLayers.cmake) sets
# BRINDLE_LAYER_FOLDERS, the folders checked, and for each folder F
# BRINDLE_LAYER_USES_<F>, every folder F may include (its own aside).
#
# A file breaks the rules when it includes a file of a checked folder that
# its folder may not use ("tools/x.cpp" including "shell/host.h"), or when
# a logic file includes a window file (one whose name starts with "fom" or
# "gui"), of its own folder or another: logic files are built into libraries
# without Qt Widgets. Every line that starts with #include counts, also in a
# comment block or a disabled #if. All broken rules are listed, then the
# script fails; when there are none it touches STAMP.

if(NOT LAYERS OR NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -D LAYERS=<rules> -D SOURCE_DIR=<tree> [-D STAMP=<file>] -P CheckLayers.cmake")
endif()
include(${LAYERS})

set(window_name "^(fom|gui)")
set(broken)
foreach(folder IN LISTS BRINDLE_LAYER_FOLDERS)
    set(may_use ${folder} ${BRINDLE_LAYER_USES_${folder}})
    file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
         ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
    list(SORT files)
    foreach(file IN LISTS files)
        get_filename_component(name ${file} NAME)
        file(STRINGS ${SOURCE_DIR}/${file} lines ENCODING UTF-8
             REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]+[>\"]")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1"
                   included "${line}")
            if(included MATCHES "^([^/]+)/")
                set(target_folder ${CMAKE_MATCH_1})
            else()
                # A name without a folder is found beside the including file.
                set(target_folder ${folder})
            endif()
            list(FIND BRINDLE_LAYER_FOLDERS ${target_folder} checked)
            if(checked LESS 0)
                continue() # Qt, the standard library, the system
            endif()
            list(FIND may_use ${target_folder} allowed)
            if(allowed LESS 0)
                string(JOIN " " uses ${BRINDLE_LAYER_USES_${folder}})
                if(uses STREQUAL "")
                    set(uses "nothing")
                endif()
                list(APPEND broken
                     "${file} includes ${included}: ${folder} may use ${uses}")
                continue()
            endif()
            get_filename_component(included_name ${included} NAME)
            if(NOT name MATCHES "${window_name}" AND included_name MATCHES "${window_name}")
                list(APPEND broken
                     "${file} includes ${included}: a logic file may not include a window file")
            endif()
        endforeach()
    endforeach()
endforeach()

if(broken)
    list(LENGTH broken count)
    string(JOIN "\n  " text ${broken})
    message(FATAL_ERROR
            "${count} include(s) against the layers (ARCHITECTURE.md):\n  ${text}\n")
endif()
if(STAMP)
    file(TOUCH ${STAMP})
endif()
