# Installation and packages. `cmake --install` puts mathdrill and
# mathdrill-progress in games/ and, on POSIX systems, their manual pages
# mathdrill(6) and mathdrill-progress(1), the drill's desktop menu entry and
# icon, and the copyright and changelog in share/doc/mathdrill/. CPack makes a
# Debian package of the same files (cpack -G DEB, or the pkg preset) and, in
# Windows builds, a zip of mathdrill.exe and mathdrill-progress.exe with a
# read-me and the licence (the mingw package preset). With
# DRILL_PACKAGE_TESTS, CTest checks the built Debian package.
include(GNUInstallDirs)

# Debian keeps games, and so this drill, in /usr/games.
set(MATHDRILL_INSTALL_GAMESDIR games CACHE PATH "Where mathdrill is installed, under the prefix")

if(WIN32)
  # The zip holds mathdrill.exe, mathdrill-progress.exe, README.txt and
  # LICENSE side by side, the texts with Windows line ends.
  install(TARGETS mathdrill mathdrill-progress RUNTIME DESTINATION .)
  configure_file(packaging/README-windows.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE
          DESTINATION .)
else()
  # The parents' view of records.txt goes with the drill: a package of the
  # games section keeps its programs in /usr/games.
  install(TARGETS mathdrill mathdrill-progress RUNTIME DESTINATION ${MATHDRILL_INSTALL_GAMESDIR})
  # The menu entry starts the drill in a terminal; the icon is our own.
  install(FILES packaging/mathdrill.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/mathdrill.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # lintian's overrides of the package, each with its reason.
  install(FILES packaging/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME mathdrill)
  # The manual page and the changelog are installed compressed, as Debian has
  # them. Each is copied into the build tree, then compressed there without a
  # time stamp, so the package is the same from one build to the next.
  find_program(DRILL_GZIP gzip)
  set(mathdrill_compressed
      doc/mathdrill.6 ${CMAKE_INSTALL_MANDIR}/man6
      doc/mathdrill-progress.1 ${CMAKE_INSTALL_MANDIR}/man1
      packaging/changelog ${CMAKE_INSTALL_DOCDIR})
  set(mathdrill_gz_outputs)
  while(mathdrill_compressed)
    list(POP_FRONT mathdrill_compressed source destination)
    get_filename_component(name ${source} NAME)
    if(DRILL_GZIP)
      set(copy ${CMAKE_CURRENT_BINARY_DIR}/compressed/${name})
      add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${copy}
        COMMAND ${DRILL_GZIP} -9nf ${copy}
        DEPENDS ${source}
        COMMENT "Compressing ${name}"
        VERBATIM)
      list(APPEND mathdrill_gz_outputs ${copy}.gz)
      install(FILES ${copy}.gz DESTINATION ${destination})
    else()
      install(FILES ${source} DESTINATION ${destination})
    endif()
  endwhile()
  if(mathdrill_gz_outputs)
    add_custom_target(mathdrill_compressed_docs ALL DEPENDS ${mathdrill_gz_outputs})
  endif()
endif()

set(CPACK_PACKAGE_NAME mathdrill)
set(CPACK_PACKAGE_VENDOR "the mathdrill authors")
set(CPACK_PACKAGE_CONTACT "the mathdrill authors <mathdrill-maintainers@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timed addition and subtraction drill for children")
# Debian wants the long description in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "A console arithmetic drill: the child types a name and the largest addend,\n"
    "then takes timed tests of 20 mixed addition and subtraction problems, each\n"
    "judged at once. After each test a report is shown and appended to\n"
    "records.txt in the current directory.\n"
    "mathdrill-progress shows each child's progress from those records: a table,\n"
    "one child's tests, a CSV file for a spreadsheet, or a page of charts.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)

# Debian: the dependencies (the C library) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME mathdrill-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

include(CPack)

if(DRILL_PACKAGE_TESTS AND NOT WIN32)
  enable_testing()
  add_test(NAME DebianPackage.InstallsAndRuns
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/deb_package_test.sh
                   ${CMAKE_CURRENT_BINARY_DIR} $<TARGET_FILE:session_check>)
  set_tests_properties(DebianPackage.InstallsAndRuns PROPERTIES TIMEOUT 120)
endif()
