# phrasebook_library(NAME SOURCES ... [DEPS ...]): a static library of one layer.
function(phrasebook_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
endfunction()

# phrasebook_test(NAME SOURCES ... [DEPS ...]): one GoogleTest program registered with ctest.
find_package(GTest REQUIRED)
include(GoogleTest)
function(phrasebook_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        PHRASEBOOK_SHARED_DIR="${PHRASEBOOK_SHARED_DIR}"
        PHRASEBOOK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "PHRASEBOOK_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()
