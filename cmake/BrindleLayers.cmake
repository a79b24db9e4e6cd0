# The product folders as libraries with one direction (ARCHITECTURE.md).
#
# brindle_folder(<folder> [USES <folder>...])
#   Declares <folder> a layer above the folders it USES, each declared
#   before it (so the layers cannot form a circle), and builds its files:
#   the logic files into the static library <folder> (QtCore only), the
#   window files (names starting with "fom" or "gui") into <folder>_gui,
#   built only with BRINDLE_GUI. <folder> links the libraries it uses;
#   <folder>_gui links <folder>, the _gui libraries of every folder below it
#   and Qt Widgets.
#   The folder may include its own files and those of every folder below
#   it along its USES, no other (the include check).
#
# brindle_include_rule(<folder> [USES <folder>...])
#   Holds a folder that is not a library (a program's sources) to the same
#   include rule, with the same meaning of USES.
#
# brindle_layer_check()
#   After the last declaration: the include check every library waits for
#   (cmake/CheckLayers.cmake, run whenever a checked file changes; a file
#   against the rules fails the build), and brindle_core / brindle_gui, every
#   logic library and every window library together.

set_property(GLOBAL PROPERTY BRINDLE_LAYER_FOLDERS "")
set_property(GLOBAL PROPERTY BRINDLE_LAYER_LIBRARIES "")
set_property(GLOBAL PROPERTY BRINDLE_LAYER_GUI_LIBRARIES "")

# Records the folder's rule: what it uses directly and everything below.
function(brindle_include_rule folder)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES")
    get_property(declared GLOBAL PROPERTY BRINDLE_LAYER_FOLDERS)
    if(folder IN_LIST declared)
        message(FATAL_ERROR "layers: ${folder} is declared twice")
    endif()
    set(below)
    foreach(used IN LISTS arg_USES)
        if(NOT used IN_LIST declared)
            message(FATAL_ERROR "layers: ${folder} uses ${used}, which is not declared "
                                "before it (layers are declared bottom up)")
        endif()
        get_property(used_below GLOBAL PROPERTY BRINDLE_LAYER_USES_${used})
        list(APPEND below ${used} ${used_below})
    endforeach()
    list(REMOVE_DUPLICATES below)
    set_property(GLOBAL PROPERTY BRINDLE_LAYER_USES_${folder} "${below}")
    set_property(GLOBAL APPEND PROPERTY BRINDLE_LAYER_FOLDERS ${folder})
endfunction()

function(brindle_folder folder)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES")
    brindle_include_rule(${folder} USES ${arg_USES})

    file(GLOB files CONFIGURE_DEPENDS
         ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    set(logic)
    set(windows)
    foreach(f IN LISTS files)
        get_filename_component(name ${f} NAME)
        if(name MATCHES "^(fom|gui)")
            list(APPEND windows ${f})
        else()
            list(APPEND logic ${f})
        endif()
    endforeach()

    add_library(${folder} STATIC ${logic})
    target_include_directories(${folder} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${folder} PUBLIC ${arg_USES} Qt6::Core)
    add_dependencies(${folder} brindle_layer_check)
    set_property(GLOBAL APPEND PROPERTY BRINDLE_LAYER_LIBRARIES ${folder})

    if(BRINDLE_GUI AND windows)
        add_library(${folder}_gui STATIC ${windows})
        # Every window library below, also under a folder without one.
        get_property(below GLOBAL PROPERTY BRINDLE_LAYER_USES_${folder})
        set(used_gui)
        foreach(used IN LISTS below)
            if(TARGET ${used}_gui)
                list(APPEND used_gui ${used}_gui)
            endif()
        endforeach()
        target_link_libraries(${folder}_gui PUBLIC ${folder} ${used_gui} Qt6::Widgets)
        add_dependencies(${folder}_gui brindle_layer_check)
        set_property(GLOBAL APPEND PROPERTY BRINDLE_LAYER_GUI_LIBRARIES ${folder}_gui)
    endif()
endfunction()

function(brindle_layer_check)
    get_property(folders GLOBAL PROPERTY BRINDLE_LAYER_FOLDERS)
    set(rules "# Written by cmake/BrindleLayers.cmake: the include rule of each folder.\n")
    string(APPEND rules "set(BRINDLE_LAYER_FOLDERS ${folders})\n")
    set(checked)
    foreach(folder IN LISTS folders)
        get_property(uses GLOBAL PROPERTY BRINDLE_LAYER_USES_${folder})
        string(APPEND rules "set(BRINDLE_LAYER_USES_${folder} ${uses})\n")
        file(GLOB_RECURSE files CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
        list(APPEND checked ${files})
    endforeach()
    set(rules_file ${CMAKE_BINARY_DIR}/layers/rules.cmake)
    file(CONFIGURE OUTPUT ${rules_file} CONTENT "${rules}")
    set(stamp ${CMAKE_BINARY_DIR}/layers/checked.stamp)
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -D LAYERS=${rules_file} -D SOURCE_DIR=${CMAKE_SOURCE_DIR}
                -D STAMP=${stamp} -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
        DEPENDS ${checked} ${rules_file} ${CMAKE_SOURCE_DIR}/cmake/CheckLayers.cmake
        COMMENT "Checking the includes against the layers"
        VERBATIM)
    add_custom_target(brindle_layer_check DEPENDS ${stamp})
    set(BRINDLE_LAYER_RULES ${rules_file} PARENT_SCOPE)

    get_property(libraries GLOBAL PROPERTY BRINDLE_LAYER_LIBRARIES)
    add_library(brindle_core INTERFACE)
    target_link_libraries(brindle_core INTERFACE ${libraries})
    if(BRINDLE_GUI)
        get_property(gui_libraries GLOBAL PROPERTY BRINDLE_LAYER_GUI_LIBRARIES)
        add_library(brindle_gui INTERFACE)
        target_link_libraries(brindle_gui INTERFACE brindle_core ${gui_libraries})
    endif()
endfunction()
