# Run by cpack once it has made a package: cpack checks nothing of what it
# made, the package tests do.
if(CPACK_GENERATOR STREQUAL CPACK_MATCHSCORE_LAST_GENERATOR)
  message(STATUS "matchscore: ctest --test-dir ${CPACK_PACKAGE_DIRECTORY} -L package "
    "checks these packages")
endif()
