# The packages made of matchscore, as this build's row of cmake/targets names
# them, each rebuilt bit for bit from a commit. What is linked into the
# binary, its packages carry the notice of. Where nothing can be packed
# lawfully or truthfully, matchscore_refusal says why, and cpack refuses
# with it. What the packages say of matchscore is cmake/metadata's.

set(matchscore_refusal "")
if(NOT MATCHSCORE_TARGET)
  set(matchscore_refusal "matchscore is built for ${CMAKE_SYSTEM_NAME} on ${CMAKE_SYSTEM_PROCESSOR}, "
    "which is no target of cmake/targets, so its packages have no names. ")
endif()

# The fields of cmake/metadata, as matchscore_<field>, with _ for -.
file(STRINGS cmake/metadata lines)
foreach(line IN LISTS lines)
  if(line MATCHES "^([a-z-]+): (.*)")
    string(REPLACE "-" "_" field "matchscore_${CMAKE_MATCH_1}")
    set(${field} "${CMAKE_MATCH_2}")
  elseif(line MATCHES "^ (.*)" AND field)
    string(APPEND ${field} "\n${CMAKE_MATCH_1}")
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS cmake/metadata)
# A release is given the address to write to, which the packages name as
# their maintainer and the SBOMs as their supplier; other builds name
# cmake/metadata's.
set(MATCHSCORE_CONTACT "" CACHE STRING "Who the packages name, as Name <address>; empty for cmake/metadata's")
if(MATCHSCORE_CONTACT)
  set(matchscore_contact "${MATCHSCORE_CONTACT}")
endif()

# The manual page names the version it describes, project()'s, and says
# what matchscore does in the summary the packages give.
file(READ doc/matchscore.1 manual)
set(macros "Os matchscore" Nd)
set(values ${PROJECT_VERSION} "${matchscore_summary}")
foreach(macro value IN ZIP_LISTS macros values)
  string(REGEX REPLACE "\n\\.${macro}\n" "\n.${macro} ${value}\n" filled "${manual}")
  if(filled STREQUAL manual)
    message(FATAL_ERROR "doc/matchscore.1 has no line '.${macro}', which configure completes")
  endif()
  set(manual "${filled}")
endforeach()
file(CONFIGURE OUTPUT matchscore.1 CONTENT "${manual}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS doc/matchscore.1)

# The holders and the terms of LICENSE, for the notices: the terms are
# what follows the title and copyright lines it may begin with, whatever the
# licence. Without a copyright line of its own, the vendor holds it.
file(READ LICENSE licence)
set(matchscore_holders "${matchscore_vendor}")
if(licence MATCHES "^([^\n]*\n)?\n*((Copyright[^\n]*\n)+)\n*")
  string(LENGTH "${CMAKE_MATCH_0}" start)
  string(SUBSTRING "${licence}" ${start} -1 terms)
  string(REGEX REPLACE "(^|\n)Copyright( \\([cC]\\))? *" "\\1" matchscore_holders "${CMAKE_MATCH_2}")
  string(STRIP "${matchscore_holders}" matchscore_holders)
  string(REPLACE "\n" "\n " matchscore_holders "${matchscore_holders}")
else()
  set(terms "${licence}")
endif()
# Debian's copyright files call MIT's terms Expat; other licences go by their
# SPDX names there too. Debian's rules have a licence that every Debian system
# holds in /usr/share/common-licenses named there, not copied; the rpm then
# carries LICENSE itself (cmake/package-linux.cmake).
string(REGEX REPLACE "^MIT$" "Expat" matchscore_debian_licence "${matchscore_licence}")
set(matchscore_common_licence /usr/share/common-licenses/${matchscore_debian_licence})
if(EXISTS ${matchscore_common_licence})
  set(terms "On Debian systems, the full text of the licence is in ${matchscore_common_licence}.")
else()
  unset(matchscore_common_licence)
endif()

# matchscore_debian_package(VAR FILE): VAR_NAME and VAR_VERSION of the
# Debian package FILE came from, VAR_UPSTREAM its upstream version, and
# VAR_SOURCE its source package as a relation, such as "musl (= 1.2.3-1)".
function(matchscore_debian_package var file)
  execute_process(COMMAND dpkg-query -S ${file} OUTPUT_VARIABLE name ERROR_QUIET)
  string(REGEX REPLACE ":[^:]*$" "" name "${name}")
  execute_process(COMMAND dpkg-query -W -f=\${Version}\n\${source:Package}\n\${source:Version}
    "${name}" OUTPUT_VARIABLE fields ERROR_QUIET)
  string(REGEX MATCH "^(([0-9]+:)?([0-9][0-9.]*[0-9])[^\n]*)\n([^\n]+)\n([^\n]+)$" _ "${fields}")
  set(${var}_NAME "${name}" PARENT_SCOPE)
  set(${var}_VERSION "${CMAKE_MATCH_1}" PARENT_SCOPE)
  set(${var}_UPSTREAM "${CMAKE_MATCH_3}" PARENT_SCOPE)
  set(${var}_SOURCE "${CMAKE_MATCH_4} (= ${CMAKE_MATCH_5})" PARENT_SCOPE)
endfunction()

# copyright_text(VAR TEXT): TEXT as the indented lines of a copyright field.
function(copyright_text var text)
  string(STRIP "${text}" text)
  string(REGEX REPLACE "\n([ \t]*\n)+" "\n.\n" text "${text}")
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

# matchscore_copyright([PACKAGE WHAT]): makes copyright, the copyright file
# in the machine-readable form Debian reads: matchscore's licence for every
# file of its source, and for the package as a whole, which holds the program
# linked statically with a library of the Debian package that
# matchscore_debian_package(PACKAGE ...) found, the copyright file of that
# package whole. WHAT says what of it is linked; @upstream@ in it stands for
# the package's upstream version. The libraries linked so (musl, MinGW-w64)
# ask for their notice in every copy. The file is finished at build time,
# when the link map shows what of GCC's runtime is linked in.
function(matchscore_copyright)
  copyright_text(terms "${terms}")
  set(header_comment "")
  if(ARGC)
    set(package ${ARGV0})
    string(REGEX REPLACE ":.*" "" name "${${package}_NAME}")
    set(notice /usr/share/doc/${name}/copyright)
    if(NOT ${package}_UPSTREAM OR NOT EXISTS ${notice})
      set(matchscore_refusal ${matchscore_refusal} "matchscore links a library of ${name} statically, but the "
        "copyright file or version of that Debian package was not found. " PARENT_SCOPE)
    else()
      file(READ ${notice} notice)
      copyright_text(notice "${notice}")
      string(REPLACE "@upstream@" "${${package}_UPSTREAM}" what "${ARGV1}")
      # The header's comment speaks for the package as a whole: no file of
      # the source is under the library's terms, and lintian takes a licence
      # paragraph that no Files paragraph names for an error.
      set(header_comment "Comment: The program is linked statically with ${what},
 from ${${package}_NAME} ${${package}_VERSION}.@gcc_runtime@
 Its licence asks for its notice in every copy of the program.
 .
 The copyright file of ${${package}_NAME} ${${package}_VERSION}, whole:
 .
${notice}
")
    endif()
  endif()
  file(CONFIGURE OUTPUT copyright.in CONTENT [[
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: matchscore
${header_comment}
Files: *
Copyright: ${matchscore_holders}
License: ${matchscore_debian_licence}

License: ${matchscore_debian_licence}
${terms}
]])
  add_custom_command(OUTPUT copyright
    COMMAND ${CMAKE_COMMAND} -D MAP=${link_map} -D INPUT=copyright.in -D OUTPUT=copyright
      -P ${PROJECT_SOURCE_DIR}/packaging/runtime-note.cmake
    DEPENDS matchscore ${PROJECT_BINARY_DIR}/copyright.in packaging/runtime-note.cmake VERBATIM)
endfunction()

set(CPACK_PACKAGE_VENDOR "${matchscore_vendor}")
set(CPACK_PACKAGE_CONTACT "${matchscore_contact}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${matchscore_summary}")
# As RPM and Windows show it, with a capital.
string(SUBSTRING "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}" 0 1 first)
string(SUBSTRING "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}" 1 -1 rest)
string(TOUPPER "${first}" first)
set(matchscore_capitalised_summary "${first}${rest}")
set(CPACK_PACKAGE_DESCRIPTION "${matchscore_description}")
string(TOLOWER ${CMAKE_SYSTEM_NAME} system)
set(CPACK_PACKAGE_FILE_NAME
  matchscore-${PROJECT_VERSION}-${system}-${MATCHSCORE_TARGET_PROCESSOR})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/staged-modes.cmake)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  include(cmake/package-linux.cmake)
elseif(WIN32)
  include(cmake/package-windows.cmake)
else()
  list(APPEND matchscore_refusal "matchscore has no packages for ${CMAKE_SYSTEM_NAME}. ")
endif()
string(JOIN "" matchscore_refusal ${matchscore_refusal})
string(STRIP "${matchscore_refusal}" matchscore_refusal)

# cpack says, once it has packed, what checks the packages.
if(CPACK_GENERATOR)
  list(GET CPACK_GENERATOR -1 CPACK_MATCHSCORE_LAST_GENERATOR)
endif()
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/packed.cmake)
# The SBOMs of the packed program, from its link map.
if(MATCHSCORE_HAVE_LINK_MAP)
  list(APPEND CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/sbom.cmake)
  set(CPACK_MATCHSCORE_LINK_MAP ${PROJECT_BINARY_DIR}/matchscore${CMAKE_EXECUTABLE_SUFFIX}.map)
  set(CPACK_MATCHSCORE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
  set(CPACK_MATCHSCORE_TARGET ${MATCHSCORE_TARGET})
  set(CPACK_MATCHSCORE_LICENCE ${matchscore_licence})
  set(CPACK_MATCHSCORE_VENDOR ${matchscore_vendor})
  set(CPACK_MATCHSCORE_CPE_HARDWARE ${MATCHSCORE_TARGET_CPE})
endif()

# Read by cpack itself, when it packs: each package's contents and time stamp.
configure_file(packaging/cpack-project.cmake.in cpack-project.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-project.cmake)
include(CPack)
