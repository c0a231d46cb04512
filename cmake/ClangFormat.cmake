# `format` rewrites every C/C++ source with clang-format; `format-check` fails on any difference.
find_program(CLANG_FORMAT_EXE NAMES clang-format clang-format-14)
if(CLANG_FORMAT_EXE)
    file(GLOB_RECURSE CITAVOX_FORMAT_SOURCES CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.c
        ${PROJECT_SOURCE_DIR}/tests/*.h ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.c
        ${PROJECT_SOURCE_DIR}/tools/*.cpp ${PROJECT_SOURCE_DIR}/bench/*.cpp ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
    add_custom_target(format COMMAND ${CLANG_FORMAT_EXE} -i ${CITAVOX_FORMAT_SOURCES})
    add_custom_target(format-check COMMAND ${CLANG_FORMAT_EXE} --dry-run --Werror ${CITAVOX_FORMAT_SOURCES})
endif()
