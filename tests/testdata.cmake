# Test data generator and helpers shared by tests and benchmarks (included
# from the top level when either is built).
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/support/*.cpp
     ${CMAKE_CURRENT_LIST_DIR}/support/*.h)
add_library(brindle_testdata STATIC ${SUPPORT_SOURCES})
target_link_libraries(brindle_testdata PUBLIC brindle_core)
target_include_directories(brindle_testdata PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(brindle_testdata PUBLIC
    BRINDLE_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/data"
    BRINDLE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    BRINDLE_PROGRAM_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    BRINDLE_CLI="$<TARGET_FILE:brindle-cli>")
