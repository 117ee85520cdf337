# Run by cpack's External generator: packs the staged files into
# CPACK_PACKAGE_FILE_NAME.zip, a folder of that name with every file at its
# top. The bytes do not depend on the machine that packs: the names are
# sorted, every file is dated by SOURCE_DATE_EPOCH, in UTC (a zip holds local
# time), and zip -X leaves out owners and extra time stamps.
if(NOT CPACK_MATCHSCORE_ZIP)
  message(FATAL_ERROR "zip was not found when matchscore was configured (apt-get install zip)")
endif()
set(name ${CPACK_PACKAGE_FILE_NAME})
set(work ${CPACK_TOPLEVEL_DIRECTORY}/zip)
file(REMOVE_RECURSE ${work})
file(GLOB_RECURSE staged ${CPACK_TEMPORARY_DIRECTORY}/*)
file(COPY ${staged} DESTINATION ${work}/${name})
file(GLOB files RELATIVE ${work} ${work}/${name}/*)
list(SORT files)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${files}
    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
  ${CPACK_MATCHSCORE_ZIP} -X -D -q ${name}.zip ${files}
  WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${work}/${name}.zip)
