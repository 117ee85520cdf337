# Builds for the target armel of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET armel)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
