# Builds for the target armhf of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET armhf)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
