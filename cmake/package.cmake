# The packages made of matchscore, as this build's row of cmake/targets names
# them, each rebuilt bit for bit from a commit. What is linked into the
# binary, its packages carry the notice of. Where nothing can be packed
# lawfully or truthfully, `refusal` says why, and cpack refuses with it.

set(refusal "")
if(NOT MATCHSCORE_TARGET)
  set(refusal "matchscore is built for ${CMAKE_SYSTEM_NAME} on ${CMAKE_SYSTEM_PROCESSOR}, "
    "which is no target of cmake/targets, so its packages have no names. ")
endif()

# The holders and the terms of LICENSE, for the notices.
file(READ LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${licence}")
set(holders "${CMAKE_MATCH_1}")
string(FIND "${licence}" "Permission is hereby granted" start)
string(SUBSTRING "${licence}" ${start} -1 terms)

# matchscore_debian_package(VAR FILE): VAR_NAME and VAR_VERSION of the
# Debian package FILE came from, and VAR_UPSTREAM, its upstream version.
function(matchscore_debian_package var file)
  execute_process(COMMAND dpkg-query -S ${file} OUTPUT_VARIABLE name ERROR_QUIET)
  string(REGEX REPLACE ":[^:]*$" "" name "${name}")
  execute_process(COMMAND dpkg-query -W -f=\${Version} "${name}"
    OUTPUT_VARIABLE version ERROR_QUIET)
  string(REGEX MATCH "^([0-9]+:)?([0-9][0-9.]*[0-9])" _ "${version}")
  set(${var}_NAME "${name}" PARENT_SCOPE)
  set(${var}_VERSION "${version}" PARENT_SCOPE)
  set(${var}_UPSTREAM "${CMAKE_MATCH_2}" PARENT_SCOPE)
endfunction()

# copyright_text(VAR TEXT): TEXT as the indented lines of a copyright field.
function(copyright_text var text)
  string(STRIP "${text}" text)
  string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
  string(REPLACE "\n" "\n " text "${text}")
  set(${var} " ${text}" PARENT_SCOPE)
endfunction()

# Whether GCC's runtime libraries are linked in is known only once the
# program is linked: its link map tells.
set(link_map $<TARGET_FILE:matchscore>.map)
matchscore_probe(MATCHSCORE_HAVE_LINK_MAP LINK LINKER:-Map=${CMAKE_BINARY_DIR}/CMakeFiles/probe.map)
if(MATCHSCORE_HAVE_LINK_MAP)
  target_link_options(matchscore PRIVATE LINKER:-Map=${link_map})
endif()

# matchscore_copyright([BINARY LIBRARY LICENCE WHAT]): makes copyright, the
# copyright file in the machine-readable form Debian reads: matchscore's
# licence for every file, and for BINARY, into which the static library
# LIBRARY is linked, the copyright file of LIBRARY's Debian package whole,
# as the licence LICENCE. WHAT says what of it is linked; @upstream@ in it
# stands for the package's upstream version. The libraries linked so (musl,
# MinGW-w64) ask for their notice in every copy. The file is finished at
# build time, when the link map shows what of GCC's runtime is linked in.
function(matchscore_copyright)
  copyright_text(terms "${terms}")
  set(binary_paragraphs "")
  if(ARGC)
    set(binary ${ARGV0})
    set(licence ${ARGV2})
    matchscore_debian_package(package ${ARGV1})
    string(REGEX REPLACE ":.*" "" name "${package_NAME}")
    set(notice /usr/share/doc/${name}/copyright)
    if(NOT package_UPSTREAM OR NOT EXISTS ${notice})
      set(refusal ${refusal} "matchscore links ${ARGV1} statically, but the copyright file "
        "or version of its Debian package was not found. " PARENT_SCOPE)
    else()
      file(READ ${notice} notice)
      copyright_text(notice "${notice}")
      string(REPLACE "@upstream@" "${package_UPSTREAM}" what "${ARGV3}")
      set(binary_paragraphs "
Files: ${binary}
Copyright: ${holders}
 ${licence}'s authors, as its copyright file below gives them
License: Expat and ${licence}
Comment: The program is linked statically with ${what},
 from ${package_NAME} ${package_VERSION}.@gcc_runtime@

License: ${licence}
 The copyright file of ${package_NAME} ${package_VERSION}, whole:
 .
${notice}
")
    endif()
  endif()
  file(CONFIGURE OUTPUT copyright.in CONTENT [[
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: matchscore

Files: *
Copyright: ${holders}
License: Expat
${terms}
${binary_paragraphs}]])
  add_custom_command(OUTPUT copyright
    COMMAND ${CMAKE_COMMAND} -D MAP=${link_map} -D INPUT=copyright.in -D OUTPUT=copyright
      -P ${PROJECT_SOURCE_DIR}/cmake/runtime-note.cmake
    DEPENDS matchscore ${PROJECT_BINARY_DIR}/copyright.in cmake/runtime-note.cmake VERBATIM)
endfunction()

set(CPACK_PACKAGE_VENDOR "The matchscore authors")
set(CPACK_PACKAGE_CONTACT "The matchscore authors <matchscore@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "count equal values between two lists of four integers")
set(CPACK_PACKAGE_DESCRIPTION "\
matchscore reads eight integers from standard input, the first four one list
and the next four another, and writes two counts: how many indexes hold equal
values in both lists, and how many equal pairs stand at different indexes.")
string(TOLOWER ${CMAKE_SYSTEM_NAME} system)
set(CPACK_PACKAGE_FILE_NAME
  matchscore-${PROJECT_VERSION}-${system}-${MATCHSCORE_TARGET_PROCESSOR})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/staged-modes.cmake)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  include(cmake/package-linux.cmake)
elseif(WIN32)
  include(cmake/package-windows.cmake)
else()
  list(APPEND refusal "matchscore has no packages for ${CMAKE_SYSTEM_NAME}. ")
endif()
string(JOIN "" refusal ${refusal})
string(STRIP "${refusal}" refusal)

# Read by cpack itself, when it packs: each package's contents and time stamp.
configure_file(cmake/cpack-project.cmake.in cpack-project.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-project.cmake)
include(CPack)
