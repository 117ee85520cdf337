# Builds for the target s390x of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET s390x)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
