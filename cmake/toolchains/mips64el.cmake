# Builds for the target mips64el of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET mips64el)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
