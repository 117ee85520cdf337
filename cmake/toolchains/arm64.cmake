# Builds for the target arm64 of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET arm64)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
