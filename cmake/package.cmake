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
# copyright_text(VAR TEXT): TEXT as the indented lines of a copyright field.
function(copyright_text var text)
  string(STRIP "${text}" text)
  string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
  string(REPLACE "\n" "\n " text "${text}")
  set(${var} " ${text}" PARENT_SCOPE)
endfunction()
copyright_text(terms "${terms}")

# What is linked into the binary, its packages carry the notice of. A static
# musl leaves much of its libc.a in the program, and musl's licence asks for
# its notice in every copy; its copyright file is given whole. Where nothing
# can be packed lawfully, cpack is told why and refuses.
set(binary_paragraphs "")
set(refusal "")
if(libc STREQUAL "musl")
  find_file(MATCHSCORE_MUSL_COPYRIGHT copyright
    PATHS /usr/share/doc/musl-dev /usr/share/doc/musl NO_DEFAULT_PATH)
  execute_process(COMMAND dpkg-query -S ${MATCHSCORE_MUSL_LIBDIR}/libc.a
    OUTPUT_VARIABLE musl_package ERROR_QUIET)
  string(REGEX REPLACE ":[^:]*$" "" musl_package "${musl_package}")
  execute_process(COMMAND dpkg-query -W -f=\${Version} "${musl_package}"
    OUTPUT_VARIABLE musl_version ERROR_QUIET)
  string(REGEX MATCH "^[0-9][0-9.]*[0-9]" musl_upstream "${musl_version}")
  if(NOT MATCHSCORE_MUSL_COPYRIGHT OR NOT musl_upstream)
    set(refusal "matchscore links musl statically, but its copyright file or version was not "
      "found (on Debian: apt-get install musl-dev, or set MATCHSCORE_MUSL_COPYRIGHT)")
  else()
    if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
      set(libgcc_note "
 It also holds routines of GCC's runtime library, libgcc, which the GCC
 Runtime Library Exception lets the program ship under its own terms, with
 no notice.")
    endif()
    file(READ ${MATCHSCORE_MUSL_COPYRIGHT} musl_copyright)
    copyright_text(musl_copyright "${musl_copyright}")
    set(binary_paragraphs "
Files: *${CMAKE_INSTALL_BINDIR}/matchscore
Copyright: ${holders}
 musl's authors, as its copyright file below gives them
License: Expat and musl
Comment: The program is linked statically with musl ${musl_upstream}, the C
 library, from ${musl_package} ${musl_version}.${libgcc_note}

License: musl
 The copyright file of ${musl_package} ${musl_version}, whole:
 .
${musl_copyright}
")
  endif()
elseif(link STREQUAL "as a static PIE")
  set(refusal "matchscore links glibc statically, which Debian's policy forbids in a "
    "package and glibc's licence would add duties to. Install musl (on Debian: apt-get "
    "install musl-tools) and configure with -DMATCHSCORE_LIBC=musl")
endif()
string(JOIN "" refusal ${refusal})

file(CONFIGURE OUTPUT copyright CONTENT [[
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: matchscore

Files: *
Copyright: ${holders}
License: Expat
${terms}
${binary_paragraphs}]])

install(FILES ${PROJECT_BINARY_DIR}/matchscore.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Each package adds its own: the tarball the licence at its top, the Debian
# package a note for lintian (the licence is in its copyright file there).
install(FILES LICENSE DESTINATION . COMPONENT licence EXCLUDE_FROM_ALL)
install(FILES cmake/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  RENAME matchscore COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB RPM TGZ)
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
set(CPACK_RPM_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

# The target's name in each package format; the host's tools would name
# their own architecture.
foreach(names x86_64:amd64:x86_64 aarch64:arm64:aarch64 armv7l:armhf:armv7hl i686:i386:i686)
  string(REPLACE ":" ";" names ${names})
  list(GET names 0 processor)
  if(processor STREQUAL CMAKE_SYSTEM_PROCESSOR)
    list(GET names 1 CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
    list(GET names 2 CPACK_RPM_PACKAGE_ARCHITECTURE)
  endif()
endforeach()

# The binary names its release in an ELF note (readelf -n), where the linker
# can write one: it ignores its arguments, so there is no --version to ask.
set(metadata "{\"name\":\"matchscore\",\"version\":\"${PROJECT_VERSION}\",\
\"architecture\":\"${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}\"}")
# -Wl, would split the text at its commas.
set(metadata_option "SHELL:-Xlinker '--package-metadata=${metadata}'")
matchscore_probe(MATCHSCORE_HAVE_PACKAGE_METADATA LINK ${metadata_option})
if(MATCHSCORE_HAVE_PACKAGE_METADATA AND CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  target_link_options(matchscore PRIVATE ${metadata_option})
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_SUMMARY "Count equal values between two lists of four integers")
set(CPACK_RPM_PACKAGE_GROUP "Applications/Text")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# A static binary needs nothing; rpm would ask for a dynamic loader, taking
# the static PIE's hash table for a dynamic program's.
set(CPACK_RPM_PACKAGE_AUTOREQ OFF)
# Files dated by SOURCE_DATE_EPOCH, and no build host or build-id links in
# the header, so that two builds of one commit give the same bytes.
set(CPACK_RPM_SPEC_MORE_DEFINE "\
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _buildhost reproducible
%define _build_id_links none
%define packager ${CPACK_PACKAGE_CONTACT}")
# rpm's own marks for the manual page and the licence.
set(CPACK_RPM_USER_FILELIST
  "%doc /usr/share/man/man1/matchscore.1.gz" "%license /usr/share/doc/matchscore/copyright")
# The system's folders belong to the system's own packages.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
  /usr/share/man /usr/share/man/man1 /usr/share/doc /usr/share/lintian /usr/share/lintian/overrides)

# Read by cpack itself, when it packs: each package's contents and time stamp.
configure_file(cmake/cpack-project.cmake.in cpack-project.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-project.cmake)
include(CPack)
