# Builds for the target mipsel of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET mipsel)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
