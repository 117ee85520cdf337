# The documents installed beside the program, and the packages made of it:
# a Debian package and a tarball, both rebuilt bit for bit from a commit.

# gzip -n leaves out the file's name and time, so the same text always
# gives the same bytes.
find_program(GZIP gzip REQUIRED)
foreach(document doc/matchscore.1 doc/changelog)
  get_filename_component(name ${document} NAME)
  add_custom_command(OUTPUT ${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${document} ${name}
    COMMAND ${GZIP} -9nf ${name}
    DEPENDS ${document} VERBATIM)
endforeach()
add_custom_target(documents ALL DEPENDS matchscore.1.gz changelog.gz)

# The licence in the machine-readable form Debian reads, made from LICENSE.
file(READ LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
set(holders "${CMAKE_MATCH_1}")
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 terms)
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(CONFIGURE OUTPUT copyright CONTENT [[
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: matchscore

Files: *
Copyright: ${holders}
License: Expat
 ${terms}
]])

install(FILES ${PROJECT_BINARY_DIR}/matchscore.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Each package adds its own: the tarball the licence at its top, the Debian
# package a note for lintian (the licence is in its copyright file there).
install(FILES LICENSE DESTINATION . COMPONENT licence EXCLUDE_FROM_ALL)
install(FILES cmake/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME matchscore COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_VENDOR "The matchscore authors")
set(CPACK_PACKAGE_CONTACT "The matchscore authors <matchscore@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "count equal values between two lists of four integers")
set(CPACK_PACKAGE_DESCRIPTION "\
matchscore reads eight integers from standard input, the first four one list
and the next four another, and writes two counts: how many indexes hold equal
values in both lists, and how many equal pairs stand at different indexes.")
set(CPACK_PACKAGE_FILE_NAME matchscore-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Read by cpack itself, when it packs: each package's contents and time stamp.
configure_file(cmake/cpack-project.cmake.in cpack-project.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-project.cmake)
include(CPack)
