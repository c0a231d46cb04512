# Third-party files (real downloads, journal lists, styles) are read in place from the shared
# folder beside the project, never copied into the repository. Tests that need them are skipped
# where the folder is absent.
set(CITAVOX_SHARED_DIR ${PROJECT_SOURCE_DIR}/../shared CACHE PATH
    "The folder of third-party files that tests and tools read in place")
cmake_path(SET CITAVOX_SAMPLES_DIR NORMALIZE "${CITAVOX_SHARED_DIR}/samples")
cmake_path(SET CITAVOX_JOURNAL_SOURCES NORMALIZE "${CITAVOX_SHARED_DIR}/data/journals")
