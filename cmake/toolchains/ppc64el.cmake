# Builds for the target ppc64el of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET ppc64el)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
