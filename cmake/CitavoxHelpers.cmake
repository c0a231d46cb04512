# Shared build settings and the helpers that create Citavox targets.

add_library(citavox_options INTERFACE)
target_compile_options(citavox_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast>)
if(CITAVOX_WERROR)
    target_compile_options(citavox_options INTERFACE -Werror)
endif()
if(CITAVOX_SANITIZE)
    target_compile_options(citavox_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(citavox_options INTERFACE -fsanitize=address,undefined)
endif()

if(CITAVOX_FUZZ)
    # Everything the fuzz targets reach is instrumented for coverage and checked by the sanitizers.
    target_compile_options(citavox_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(citavox_options INTERFACE -fsanitize=address,undefined)
endif()

# citavox_add_library(name SOURCES... [DEPENDS targets...])
# One static library per subsystem; its headers are reached as <subsystem/Header.h>.
function(citavox_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    # Static libraries also go into shared ones (the import library), so they are built as PIC.
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC citavox_options ${ARG_DEPENDS})
endfunction()

# citavox_add_test(name SOURCES... [DEPENDS targets...] [ENV vars...] [LABELS labels...])
# A GoogleTest executable registered with ctest; tests find their fixtures through
# CITAVOX_TEST_DATA, share the helpers of tests/support and run against a private HOME so they never
# touch the user's files.
function(citavox_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE citavox_options citavox_test_support GTest::gtest_main GTest::gmock
        ${ARG_DEPENDS})
    target_compile_definitions(${name} PRIVATE
        CITAVOX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        CITAVOX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set(labels)
    if(ARG_LABELS)
        set(labels LABELS "${ARG_LABELS}")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ${labels} ENVIRONMENT "HOME=${CMAKE_BINARY_DIR}/test-home;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/.config;QT_QPA_PLATFORM=offscreen;${ARG_ENV}")
endfunction()
