# Builds for the target amd64 of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET amd64)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
