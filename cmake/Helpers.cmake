# phrasebook_library(NAME SOURCES ... [FOLDER folder] [PUBLIC libs ...] [PRIVATE libs ...]):
# the static library of one folder (by default the folder of the calling CMakeLists.txt).
#
# Headers are included by their path from the repository root ("catalogue/records.h"), yet the
# root itself is nobody's include folder: each library gets a folder of its own in the build
# tree, include/NAME/, that holds one link, FOLDER -> the source folder. That folder is the
# library's public include folder, so its headers are seen by the library itself and by what
# links it, and an include of any other folder fails to build. PUBLIC: the libraries whose
# headers this one's headers include (its users see them too); PRIVATE: those only its sources
# use (linked, never seen by its users).
function(phrasebook_library name)
    cmake_parse_arguments(ARG "" "FOLDER" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    if(NOT ARG_FOLDER)
        file(RELATIVE_PATH ARG_FOLDER ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(root ${PROJECT_BINARY_DIR}/include/${name})
    get_filename_component(parent ${root}/${ARG_FOLDER} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${ARG_FOLDER} ${root}/${ARG_FOLDER} SYMBOLIC)

    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${root})
    if(ARG_PUBLIC)
        target_link_libraries(${name} PUBLIC ${ARG_PUBLIC})
    endif()
    if(ARG_PRIVATE)
        target_link_libraries(${name} PRIVATE ${ARG_PRIVATE})
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
    # Under the leak checker, what system libraries keep for the process's life is not ours.
    set(suppressions "${PROJECT_SOURCE_DIR}/tests/app/lsan-suppressions.txt")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "PHRASEBOOK_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
        ENVIRONMENT_MODIFICATION "LSAN_OPTIONS=set:suppressions=${suppressions}:print_suppressions=0")
endfunction()
