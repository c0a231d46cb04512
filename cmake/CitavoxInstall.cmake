# What an installation holds, in the directories of the file-system hierarchy standard:
#   bin/citavox, bin/citavox-cli
#   lib/liblexmill.so (with its soname links), lib/pkgconfig/lexmill.pc
#   include/lexmill/Lexmill.h
#   share/citavox/   the journal-name database, the document definitions, the style library
#   share/citavox/manual/   the manual of the desktop program
#   share/applications/, share/icons/hicolor/scalable/apps/, share/mime/packages/   the desktop
#       entry, the icon and the type of reference files, so that the desktop opens them in citavox
#   share/doc/citavox/   where the shipped journal list comes from
# and the Debian package that CPack makes of it (cpack -G DEB in the build folder).

install(TARGETS citavox citavox-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS lexmill LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
set_target_properties(lexmill PROPERTIES INSTALL_RPATH "") # it needs no library of its own
install(FILES ${PROJECT_SOURCE_DIR}/src/lexmill/Lexmill.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lexmill)

file(RELATIVE_PATH LEXMILL_PC_PREFIX_FROM_PC /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lexmill.pc.in ${CMAKE_BINARY_DIR}/lexmill.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/lexmill.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${CITAVOX_JOURNAL_DATABASE} ${CITAVOX_DOCUMENT_LIBRARY}
    DESTINATION ${CITAVOX_DATA_INSTALL_DIR})
install(DIRECTORY ${CITAVOX_FORMATS_DIR} DESTINATION ${CITAVOX_DATA_INSTALL_DIR}
    FILES_MATCHING PATTERN "*.for")
install(FILES ${PROJECT_SOURCE_DIR}/data/manual/index.html
    DESTINATION ${CITAVOX_DATA_INSTALL_DIR}/manual)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/citavox.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/citavox.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/citavox-references.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/data/journals/SOURCES.md
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/citavox RENAME journal-list-sources.md)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME citavox)
set(CPACK_PACKAGE_VENDOR Brimso)
set(CPACK_PACKAGE_CONTACT "Citavox developers <citavox@brimso.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference manager that completes manuscripts")
set(CPACK_PACKAGE_DESCRIPTION
    "Citavox keeps bibliographic references in reference files, imports the downloads of \
literature databases and completes manuscripts (RTF, LaTeX, WordPerfect, plain text): \
pseudo-citations become citations and a reference list in a journal's style. This package \
holds the desktop program citavox, the command line citavox-cli, the import library liblexmill with its header and \
pkg-config file, and the shipped journal-name database, document definitions and styles.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The run-time dependencies (libc, libstdc++, QtCore) are read from the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)
