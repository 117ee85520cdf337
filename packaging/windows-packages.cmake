# Run by cpack's External generator: signs the staged program, then packs
# the staged files into CPACK_PACKAGE_FILE_NAME.zip, a folder of that name
# with every file at its top, and into CPACK_PACKAGE_FILE_NAME.msi
# (packaging/msi.cmake), which it signs too. The bytes do not depend on the
# machine that packs: the names are sorted, every file is dated by
# SOURCE_DATE_EPOCH, in UTC (a zip holds local time), zip -X leaves out
# owners and extra time stamps, and each signature is dated by
# SOURCE_DATE_EPOCH too; an RSA signature is the same for the same bytes.
# Only a time-stamping authority's countersignature, where
# MATCHSCORE_AUTHENTICODE_TIMESTAMP names one, differs from one signing
# to the next.
if(NOT CPACK_MATCHSCORE_ZIP)
  message(FATAL_ERROR "zip was not found when matchscore was configured (apt-get install zip)")
endif()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
  message(FATAL_ERROR "osslsigncode is not installed, which signs the program and the MSI "
    "(apt-get install osslsigncode)")
endif()
# The release's key, a PEM file or a PKCS#11 URI, and its time-stamping
# authority come from the environment, so that no build file holds them.
set(cert ${CPACK_MATCHSCORE_AUTHENTICODE_CERT})
set(signing_options)
if(CPACK_MATCHSCORE_AUTHENTICODE_THROWAWAY)
  get_filename_component(folder ${cert} DIRECTORY)
  if(NOT EXISTS ${cert})
    execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/throwaway-authenticode ${folder} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  set(key ${folder}/key.pem)
else()
  set(key "$ENV{MATCHSCORE_AUTHENTICODE_KEY}")
  if(key MATCHES "^pkcs11:")
    list(APPEND signing_options -pkcs11module "$ENV{MATCHSCORE_AUTHENTICODE_PKCS11_MODULE}")
  endif()
  if(NOT "$ENV{MATCHSCORE_AUTHENTICODE_TIMESTAMP}" STREQUAL "")
    list(APPEND signing_options -ts "$ENV{MATCHSCORE_AUTHENTICODE_TIMESTAMP}")
  endif()
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  list(APPEND signing_options -time $ENV{SOURCE_DATE_EPOCH})
endif()
# sign(FILE): FILE, signed with Authenticode, SHA-256, in its place.
function(sign file)
  execute_process(COMMAND ${OSSLSIGNCODE} sign -certs ${cert} -key "${key}"
      -h sha256 -n matchscore ${signing_options} -in ${file} -out ${file}.signed
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME ${file}.signed ${file})
endfunction()

set(name ${CPACK_PACKAGE_FILE_NAME})
set(work ${CPACK_TOPLEVEL_DIRECTORY}/zip)
file(REMOVE_RECURSE ${work})
file(GLOB_RECURSE staged ${CPACK_TEMPORARY_DIRECTORY}/*)
file(COPY ${staged} DESTINATION ${work}/${name})
sign(${work}/${name}/matchscore.exe)
file(GLOB files RELATIVE ${work} ${work}/${name}/*)
list(SORT files)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${files}
    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
  ${CPACK_MATCHSCORE_ZIP} -X -D -q ${name}.zip ${files}
  WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)

set(WXS ${CPACK_MATCHSCORE_WXS})
set(FOLDER ${work}/${name})
set(VERSION ${CPACK_PACKAGE_VERSION})
set(OUTPUT ${work}/${name}.msi)
include(${CMAKE_CURRENT_LIST_DIR}/msi.cmake)
sign(${OUTPUT})
set(CPACK_EXTERNAL_BUILT_PACKAGES ${work}/${name}.zip ${work}/${name}.msi)
