# The include check of the layers (cmake/CheckLayers.cmake), run as
#   cmake -D LAYERS=<rules> -D SOURCE_DIR=<tree> -D WORK_DIR=<scratch> -P check_layers.cmake
# The tree as it is passes; copies of it with one include against the rules
# each fail, naming the file and the include.

foreach(var LAYERS SOURCE_DIR WORK_DIR)
    if(NOT ${var})
        message(FATAL_ERROR "check_layers.cmake needs -D ${var}=...")
    endif()
endforeach()
include(${LAYERS})
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(checker ${SOURCE_DIR}/cmake/CheckLayers.cmake)

# Runs the check on tree; sets ok and output in the caller.
function(run_check tree)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -D LAYERS=${LAYERS} -D SOURCE_DIR=${tree}
                -D STAMP=${WORK_DIR}/stamp -P ${checker}
        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(result EQUAL 0)
        set(ok TRUE PARENT_SCOPE)
    else()
        set(ok FALSE PARENT_SCOPE)
    endif()
    set(output "${out}${err}" PARENT_SCOPE)
endfunction()

set(failures)

# The tree itself.
file(REMOVE ${WORK_DIR}/stamp)
run_check(${SOURCE_DIR})
if(NOT ok)
    list(APPEND failures "the source tree fails the check:\n${output}")
elseif(NOT EXISTS ${WORK_DIR}/stamp)
    list(APPEND failures "a passing check leaves no stamp")
endif()

# Each case: a file of the copy, a line added to it, and what the check must
# name. The copy holds only the checked folders.
set(cases
    "tools/compare.cpp|#include \"shell/host.h\"|tools/compare.cpp includes shell/host.h"
    "common/oledate.h|#include \"core/model.h\"|common/oledate.h includes core/model.h"
    "core/model.h|#  include <formats/csv.h>|core/model.h includes formats/csv.h"
    "formats/csv.cpp|#include \"cli/commands.h\"|formats/csv.cpp includes cli/commands.h"
    "cardedit/cardeditlogic.cpp|#include \"shell/settings.h\"|cardedit/cardeditlogic.cpp includes shell/settings.h"
    "shell/host.cpp|#include \"mainwindow/search.h\"|shell/host.cpp includes mainwindow/search.h"
    "core/cardops.cpp|#include \"common/fomMsgBox.h\"|a logic file may not include a window file"
    "formats/csv.cpp|#include \"fomCsvGet.h\"|a logic file may not include a window file")
set(copy ${WORK_DIR}/tree)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 file)
    list(GET parts 1 line)
    list(GET parts 2 expected)
    file(REMOVE_RECURSE ${copy})
    foreach(folder IN LISTS BRINDLE_LAYER_FOLDERS)
        file(COPY ${SOURCE_DIR}/${folder} DESTINATION ${copy})
    endforeach()
    file(APPEND ${copy}/${file} "${line}\n")
    file(REMOVE ${WORK_DIR}/stamp)
    run_check(${copy})
    if(ok)
        list(APPEND failures "${file} with ${line} passes the check")
    elseif(NOT output MATCHES "1 include\\(s\\) against the layers")
        list(APPEND failures "${file} with ${line}: not one broken rule:\n${output}")
    else()
        string(FIND "${output}" "${expected}" at)
        if(at LESS 0)
            list(APPEND failures "${file} with ${line}: \"${expected}\" not said:\n${output}")
        endif()
    endif()
    if(EXISTS ${WORK_DIR}/stamp)
        list(APPEND failures "${file} with ${line}: a failed check leaves a stamp")
    endif()
endforeach()
file(REMOVE_RECURSE ${copy})

if(failures)
    string(JOIN "\n" text ${failures})
    message(FATAL_ERROR "${text}")
endif()
message(STATUS "the layer check passes the tree and refuses every case")
