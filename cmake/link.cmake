# How matchscore is linked: the interface target matchscore_link, and
# configure's link summary, the line that names the C library from its
# headers and the link from the probe that made it. The link test holds the binary to
# that line and to matchscore_wanted, the protections this build asks for,
# of which matchscore_lost are those configure warned it could not give.

add_library(matchscore_link INTERFACE)
set(matchscore_wanted stack-protector)
set(matchscore_lost "")
include(cmake/probe.cmake)
matchscore_libc(matchscore_libc)
set(matchscore_linkage "dynamically linked")
include(cmake/hardening.cmake)
include(cmake/libc.cmake)
if(WIN32)
  include(cmake/windows.cmake)
endif()

message(STATUS "matchscore links against ${matchscore_libc}, ${matchscore_linkage}")
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(no_run "the link was built, not run, and the tests that run the program say SKIP")
  if(MATCHSCORE_TARGET_EMULATOR AND NOT DEFINED CACHE{CMAKE_CROSSCOMPILING_EMULATOR})
    message(WARNING "${MATCHSCORE_TARGET_EMULATOR} is not installed, so nothing built for "
      "${MATCHSCORE_TARGET} runs here: ${no_run}. cmake/targets names the packages it needs.")
  else()
    message(STATUS "No CMAKE_CROSSCOMPILING_EMULATOR: ${no_run}")
  endif()
endif()
