# Builds for the target i386 of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET i386)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
