# Installation and packages. `cmake --install` puts drill in bin/ and, on
# POSIX systems, its manual page drill(6) in share/man/man6/. CPack makes a
# Debian package of the same files (cpack -G DEB, or the pkg preset) and, in
# Windows builds, a zip of drill.exe with a read-me (the mingw package
# preset). With DRILL_PACKAGE_TESTS, CTest checks the built Debian package.
include(GNUInstallDirs)

option(DRILL_PACKAGE_TESTS "Test the Debian package that cpack built (run cpack before ctest)" OFF)

if(WIN32)
  # The zip holds drill.exe and README.txt side by side, with Windows line
  # ends in the read-me.
  install(TARGETS drill RUNTIME DESTINATION .)
  configure_file(packaging/README-windows.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)
else()
  install(TARGETS drill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Manual pages are installed compressed, as Debian has them. The page is
  # copied into the build tree, then compressed there without a time stamp,
  # so the package is the same from one build to the next.
  find_program(DRILL_GZIP gzip)
  set(drill_man ${CMAKE_CURRENT_BINARY_DIR}/drill.6)
  if(DRILL_GZIP)
    add_custom_command(
      OUTPUT ${drill_man}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/doc/drill.6 ${drill_man}
      COMMAND ${DRILL_GZIP} -9nf ${drill_man}
      DEPENDS doc/drill.6
      COMMENT "Compressing the manual page drill.6"
      VERBATIM)
    add_custom_target(drill_manual ALL DEPENDS ${drill_man}.gz)
    install(FILES ${drill_man}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  else()
    install(FILES doc/drill.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  endif()
endif()

set(CPACK_PACKAGE_NAME drill)
set(CPACK_PACKAGE_VENDOR "Velmora Math Software")
set(CPACK_PACKAGE_CONTACT "drill maintainers <drill-maintainers@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timed addition and subtraction drill for children")
set(CPACK_PACKAGE_DESCRIPTION
    "A console arithmetic drill: the child types a name and the largest addend, then takes "
    "timed tests of 20 mixed addition and subtraction problems, each judged at once. After "
    "each test a report is shown and appended to records.txt in the current directory.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)

# Debian: the dependencies (the C library) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME drill-${PROJECT_VERSION}-windows-x86_64)
else()
  set(CPACK_GENERATOR DEB)
endif()

include(CPack)

if(DRILL_PACKAGE_TESTS AND NOT WIN32)
  enable_testing()
  add_test(NAME DebianPackage.InstallsAndRuns
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/deb_package_test.sh
                   ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(DebianPackage.InstallsAndRuns PROPERTIES TIMEOUT 120)
endif()
