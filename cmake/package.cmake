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

# Whether GCC's runtime libraries are linked in is known only once the
# program is linked: its link map tells. matchscore_notice(NAME) makes NAME
# from NAME.in at build time, the line @gcc_runtime@ saying what the map shows.
set(link_map $<TARGET_FILE:matchscore>.map)
matchscore_probe(MATCHSCORE_HAVE_LINK_MAP LINK LINKER:-Map=${CMAKE_BINARY_DIR}/CMakeFiles/probe.map)
if(MATCHSCORE_HAVE_LINK_MAP)
  target_link_options(matchscore PRIVATE LINKER:-Map=${link_map})
endif()
function(matchscore_notice name)
  add_custom_command(OUTPUT ${name}
    COMMAND ${CMAKE_COMMAND} -D MAP=${link_map} -D INPUT=${name}.in -D OUTPUT=${name}
      -P ${PROJECT_SOURCE_DIR}/cmake/runtime-note.cmake
    DEPENDS matchscore ${PROJECT_BINARY_DIR}/${name}.in cmake/runtime-note.cmake VERBATIM)
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
else()
  list(APPEND refusal "matchscore has no packages for ${CMAKE_SYSTEM_NAME}. ")
endif()
string(JOIN "" refusal ${refusal})
string(STRIP "${refusal}" refusal)

# Read by cpack itself, when it packs: each package's contents and time stamp.
configure_file(cmake/cpack-project.cmake.in cpack-project.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-project.cmake)
include(CPack)
