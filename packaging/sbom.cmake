# Run by cpack once it has packed the tarball or the zip: the SBOMs of the
# program in it, matchscore-VERSION-TARGET.cdx.json and .spdx.json, which
# packaging/sbom writes.
if(NOT CPACK_GENERATOR MATCHES "^(TGZ|External)$")
  return()
endif()

# The program as the package holds it.
set(work ${CPACK_TOPLEVEL_DIRECTORY}/sbom)
file(REMOVE_RECURSE ${work})
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.tar\\.gz$")
    file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${work} PATTERNS */bin/matchscore)
  elseif(package MATCHES "\\.zip$")
    file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${work} PATTERNS */matchscore.exe)
  endif()
endforeach()
file(GLOB_RECURSE program ${work}/*)
file(SHA256 "${program}" digest)
set(name matchscore-${CPACK_PACKAGE_VERSION}-${CPACK_MATCHSCORE_TARGET})
string(UUID uuid NAMESPACE 6ba7b811-9dad-11d1-80b4-00c04fd430c8 NAME "${name}:${digest}" TYPE SHA1)
execute_process(COMMAND ${CPACK_MATCHSCORE_SOURCE_DIR}/packaging/sbom ${program}
    ${CPACK_MATCHSCORE_LINK_MAP} ${CPACK_PACKAGE_DIRECTORY} ${name} ${uuid} ${CPACK_PACKAGE_VERSION}
    ${CPACK_MATCHSCORE_TARGET} "${CPACK_MATCHSCORE_CPE_HARDWARE}" ${CPACK_MATCHSCORE_LICENCE}
    ${CPACK_MATCHSCORE_VENDOR} ${CPACK_PACKAGE_CONTACT} ${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
  COMMAND_ERROR_IS_FATAL ANY)
