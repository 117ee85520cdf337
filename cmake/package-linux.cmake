# Linux's packages: a Debian package, an RPM package where some distribution
# ships the architecture, and a tarball, with the manual page, the changelog
# and the licence in the machine-readable form Debian reads.

# gzip -n leaves out the file's name and time, so the same text always
# gives the same bytes. The file itself would keep the time of the one it was
# made of, which a checkout may date before the commit; made now, rpm dates
# it by the commit, as every other file.
find_program(GZIP gzip REQUIRED)
foreach(document ${PROJECT_BINARY_DIR}/matchscore.1 ${PROJECT_SOURCE_DIR}/doc/changelog)
  get_filename_component(name ${document} NAME)
  add_custom_command(OUTPUT gz/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${document} gz/${name}
    COMMAND ${GZIP} -9nf gz/${name}
    COMMAND ${CMAKE_COMMAND} -E touch gz/${name}.gz
    DEPENDS ${document} VERBATIM)
endforeach()

# A static musl leaves much of its libc.a in the program, and musl's licence
# asks for its notice in every copy. The packages declare no dependency, so
# only a static binary may go in them.
if(matchscore_libc STREQUAL "musl")
  matchscore_debian_package(musl ${MATCHSCORE_MUSL_LIBDIR}/libc.a)
  set(matchscore_linked_library ${musl_NAME})
  matchscore_copyright(musl "musl @upstream@, the C library")
elseif(matchscore_libc STREQUAL "glibc" AND matchscore_linkage STREQUAL "as a static PIE")
  list(APPEND matchscore_refusal "matchscore links glibc statically, which Debian's policy forbids in a "
    "package and glibc's licence would add duties to. ")
else()
  list(APPEND matchscore_refusal "matchscore is linked against ${matchscore_libc}, ${matchscore_linkage}, but its packages "
    "declare no dependency. ")
endif()
if(NOT matchscore_libc STREQUAL "musl")
  list(APPEND matchscore_refusal "Install musl (on Debian: apt-get install musl-dev, or the "
    "musl-dev:ARCH that cmake/targets names) and configure with -DMATCHSCORE_LIBC=musl. ")
  matchscore_copyright()
endif()
add_custom_target(documents ALL DEPENDS gz/matchscore.1.gz gz/changelog.gz copyright)

# Every object adds the name and version of the compiler that made it to
# .comment, which tells a user nothing; Debian's own packaging strips it.
add_custom_command(TARGET matchscore POST_BUILD
  COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:matchscore> VERBATIM)
# The packages hold the program stripped; its symbols, which the release
# publishes beside them, are found by the build ID both carry: by debuggers,
# and by tools/vex, which checks the VEX's claims of the published binaries.
if(MATCHSCORE_TARGET)
  add_custom_command(TARGET matchscore POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:matchscore>
      matchscore-${PROJECT_VERSION}-${MATCHSCORE_TARGET}.debug VERBATIM)
endif()

install(FILES ${PROJECT_BINARY_DIR}/gz/matchscore.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/gz/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The copyright file is the packages' own, in Debian's form, and its text
# follows what this machine has installed: a distribution writes its own.
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT notice
  EXCLUDE_FROM_ALL)
# Each package adds its own too: the tarball the licence, the README and
# the changelog at its top, as a download is read before it is installed;
# the Debian package a note for lintian (the licence is in its copyright
# file there).
install(FILES LICENSE README.md doc/changelog DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME matchscore COMPONENT debian EXCLUDE_FROM_ALL)
if(matchscore_common_licence)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/licenses/matchscore COMPONENT rpm
    EXCLUDE_FROM_ALL)
  set(rpm_licence "%license /usr/share/licenses/matchscore/LICENSE")
endif()

set(CPACK_GENERATOR DEB TGZ)
if(MATCHSCORE_TARGET_RPM)
  list(APPEND CPACK_GENERATOR RPM)
endif()
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_RPM_COMPONENT_INSTALL ON)
# The target's own names; the host's tools would name their own architecture.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${MATCHSCORE_TARGET})
set(CPACK_RPM_PACKAGE_ARCHITECTURE ${MATCHSCORE_TARGET_RPM})

# The release's binary names its release in an ELF note (readelf -n), where
# the linker can write one: it ignores its arguments, so there is no
# --version to ask. A distribution's build carries the distribution's note,
# if any, which the linker would let the project's replace.
set(metadata "{\"name\":\"matchscore\",\"version\":\"${PROJECT_VERSION}\",\
\"architecture\":\"${MATCHSCORE_TARGET}\"}")
# -Wl, would split the text at its commas.
set(metadata_option "SHELL:-Xlinker '--package-metadata=${metadata}'")
matchscore_probe(MATCHSCORE_HAVE_PACKAGE_METADATA LINK ${metadata_option})
if(MATCHSCORE_HAVE_PACKAGE_METADATA AND matchscore_release_build)
  target_link_options(matchscore PRIVATE ${metadata_option})
  set(matchscore_package_note ON)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION ${matchscore_section})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# What is built into the program, where packaging tools and security
# scanners look: Debian's Built-Using names musl's source package, with its
# exact version (cpack has no variable for the field, so it follows Section
# on a line of its own), and Fedora's rule for a bundled library is a
# bundled() provide with its upstream version.
if(musl_SOURCE)
  string(APPEND CPACK_DEBIAN_PACKAGE_SECTION "\nBuilt-Using: ${musl_SOURCE}")
  set(CPACK_RPM_PACKAGE_PROVIDES "bundled(musl) = ${musl_UPSTREAM}")
endif()

set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_RELEASE 1)
# The manual page's place is fixed; rpm must not offer to move it.
set(CPACK_PACKAGE_RELOCATABLE OFF)
# rpm's changelog is doc/changelog's, entry for entry, in rpm's own form:
# "* Wed Dec 09 2026 AUTHOR - VERSION-RELEASE", then "- " before each entry.
# A semicolon would split a line of the list in two, so it is set aside.
file(READ doc/changelog changelog)
string(REPLACE ";" "@semicolon@" changelog "${changelog}")
string(REPLACE "\n" ";" changelog "${changelog}")
set(rpm_changelog "")
set(entries "")
foreach(line IN LISTS changelog)
  if(line MATCHES "^[^ ]+ \\(([^)]+)\\)")
    set(entry_version ${CMAKE_MATCH_1})
  elseif(line MATCHES "^  \\* (.*)")
    string(APPEND entries "- ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^    (.*)")
    string(APPEND entries "  ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^ -- (.*)  ([A-Z][a-z][a-z]), ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9]+) ")
    string(APPEND rpm_changelog "* ${CMAKE_MATCH_2} ${CMAKE_MATCH_4} ${CMAKE_MATCH_3} "
      "${CMAKE_MATCH_5} ${CMAKE_MATCH_1} - ${entry_version}-${CPACK_RPM_PACKAGE_RELEASE}\n${entries}\n")
    set(entries "")
  endif()
endforeach()
string(REPLACE "@semicolon@" ";" rpm_changelog "${rpm_changelog}")
string(REPLACE "%" "%%" rpm_changelog "${rpm_changelog}") # else a macro to rpm
file(WRITE ${PROJECT_BINARY_DIR}/rpm-changelog "${rpm_changelog}")
set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_BINARY_DIR}/rpm-changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS doc/changelog)
set(CPACK_RPM_PACKAGE_LICENSE ${matchscore_licence})
set(CPACK_RPM_PACKAGE_SUMMARY "${matchscore_capitalised_summary}")
set(CPACK_RPM_PACKAGE_GROUP "${matchscore_rpm_group}")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# A static binary needs nothing; rpm would ask for a dynamic loader, taking
# the static PIE's hash table for a dynamic program's.
set(CPACK_RPM_PACKAGE_AUTOREQ OFF)
# Files dated by SOURCE_DATE_EPOCH, and no build host or build-id links in
# the header, so that two builds of one commit give the same bytes. rpm's
# own steps after the install (strip, compress, strip .comment where `file`
# is installed) are off: the packages of one target hold the same binary,
# stripped by cpack, whatever the machine that packs them has installed.
set(CPACK_RPM_SPEC_MORE_DEFINE "\
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _buildhost reproducible
%define _build_id_links none
%define __spec_install_post %{nil}
%define packager ${CPACK_PACKAGE_CONTACT}")
# rpm's own marks for the manual page and the licence.
set(CPACK_RPM_USER_FILELIST
  "%doc /usr/share/man/man1/matchscore.1.gz" "%license /usr/share/doc/matchscore/copyright" ${rpm_licence})
# The system's folders belong to the system's own packages.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1 /usr/share/doc
  /usr/share/licenses /usr/share/lintian /usr/share/lintian/overrides)
