# The build tree has the shape of an installed prefix: the programs in bin/, liblexmill in lib/
# and the data the program ships in share/citavox/. A program finds its data relative to its own
# folder (text/ShippedData.h) and liblexmill through a relative run path, so it does so alike in
# the build tree and in an installed prefix, and no path of the build is compiled into it.

include(GNUInstallDirs)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_BINDIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_LIBDIR})
file(RELATIVE_PATH lib_from_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CMAKE_INSTALL_RPATH "$ORIGIN/${lib_from_bin}")
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)

# The data folder of the build and what the build puts there.
set(CITAVOX_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/citavox)
set(CITAVOX_DATA_DIR ${CMAKE_BINARY_DIR}/${CITAVOX_DATA_INSTALL_DIR})
file(RELATIVE_PATH CITAVOX_DATA_FROM_BIN ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${CITAVOX_DATA_DIR})
set(CITAVOX_JOURNAL_DATABASE ${CITAVOX_DATA_DIR}/journals.dat)
set(CITAVOX_DOCUMENT_LIBRARY ${CITAVOX_DATA_DIR}/docdefs.dat)
set(CITAVOX_FORMATS_DIR ${CITAVOX_DATA_DIR}/formats)

# Third-party files (real downloads, journal lists, styles) are read in place from the shared
# folder beside the project, never copied into the repository. Tests that need them are skipped
# where the folder is absent.
set(CITAVOX_SHARED_DIR ${PROJECT_SOURCE_DIR}/../shared CACHE PATH
    "The folder of third-party files that tests and tools read in place")
cmake_path(SET CITAVOX_SAMPLES_DIR NORMALIZE "${CITAVOX_SHARED_DIR}/samples")
cmake_path(SET CITAVOX_JOURNAL_SOURCES NORMALIZE "${CITAVOX_SHARED_DIR}/data/journals")
cmake_path(SET CITAVOX_CSL_DIR NORMALIZE "${CITAVOX_SHARED_DIR}/data/csl")
