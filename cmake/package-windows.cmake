# Windows' packages: a zip of a folder holding matchscore.exe, its licence,
# the notice of what is linked into it, the manual page as plain text, the
# README and the changelog, every text with CR LF line ends; and an MSI that
# installs the same files in Program Files\matchscore and puts that folder
# on the system Path. The program and the MSI are signed with Authenticode.

find_program(GROFF groff REQUIRED)
# Only packing needs zip.
find_program(ZIP zip)

# MinGW-w64's licences (ZPL 2.1 for its scanf, Lucent's for gdtoa) ask for
# their notices in every copy of the program.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libmingwex.a
  OUTPUT_VARIABLE mingwex OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REAL_PATH "${mingwex}" mingwex)
matchscore_debian_package(mingw ${mingwex})
set(matchscore_linked_library ${mingw_NAME})
matchscore_copyright(mingw
  "MinGW-w64 @upstream@'s start-up code and C library\n additions, \
its printf and scanf with gdtoa among them")

# The version, description and copyright that Windows shows in the
# program's Properties, from the project's own; and its manifest: it runs
# with its caller's rights, on the Windows versions it names.
enable_language(RC)
configure_file(src/matchscore.rc.in matchscore.rc @ONLY)
target_sources(matchscore PRIVATE ${PROJECT_BINARY_DIR}/matchscore.rc)
set_property(SOURCE ${PROJECT_BINARY_DIR}/matchscore.rc APPEND PROPERTY OBJECT_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/matchscore.manifest)

# windows_text(NAME INPUT [-D GROFF=PROGRAM]): makes NAME.txt from INPUT at
# build time, as packaging/windows-text.cmake writes it.
function(windows_text name input)
  add_custom_command(OUTPUT ${name}.txt
    COMMAND ${CMAKE_COMMAND} -D INPUT=${input} -D OUTPUT=${name}.txt ${ARGN}
      -P ${PROJECT_SOURCE_DIR}/packaging/windows-text.cmake
    DEPENDS ${input} packaging/windows-text.cmake VERBATIM)
endfunction()
windows_text(LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
windows_text(NOTICE ${PROJECT_BINARY_DIR}/copyright)
windows_text(matchscore ${PROJECT_BINARY_DIR}/matchscore.1 -D GROFF=${GROFF})
windows_text(README ${PROJECT_SOURCE_DIR}/README.md)
windows_text(changelog ${PROJECT_SOURCE_DIR}/doc/changelog)
set(texts LICENSE.txt NOTICE.txt matchscore.txt README.txt changelog.txt)
list(TRANSFORM texts PREPEND ${PROJECT_BINARY_DIR}/)
add_custom_target(documents ALL DEPENDS ${texts})
install(FILES ${texts} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The MSI's source, whose components are the texts and the program; the
# version and the folder they are taken from are given as it is built
# (packaging/msi.cmake). Every component keeps its GUID from release to
# release, as Windows Installer asks.
set(matchscore_msi_components "")
set(matchscore_msi_component_refs "")
foreach(file IN LISTS texts ITEMS matchscore.exe)
  get_filename_component(file ${file} NAME)
  string(UUID guid NAMESPACE ${matchscore_windows_upgrade_code} NAME ${file} TYPE SHA1 UPPER)
  string(APPEND matchscore_msi_components "\n          <Component Id=\"${file}\" Guid=\"${guid}\" Win64=\"yes\">\
<File Id=\"${file}\" Source=\"${file}\" KeyPath=\"yes\"/></Component>")
  string(APPEND matchscore_msi_component_refs "\n      <ComponentRef Id=\"${file}\"/>")
endforeach()
foreach(field vendor capitalised_summary)
  string(REPLACE "&" "&amp;" matchscore_xml_${field} "${matchscore_${field}}")
  string(REPLACE "<" "&lt;" matchscore_xml_${field} "${matchscore_xml_${field}}")
  string(REPLACE "\"" "&quot;" matchscore_xml_${field} "${matchscore_xml_${field}}")
endforeach()
configure_file(packaging/matchscore.wxs.in matchscore.wxs @ONLY)

# The certificate the program and the MSI are signed with: the release's,
# given as MATCHSCORE_AUTHENTICODE_CERT, with the key that packing reads
# from the environment (tools/lib.sh), or else a throwaway one that packing
# makes in the build folder.
set(matchscore_authenticode_cert $ENV{MATCHSCORE_AUTHENTICODE_CERT})
set(CPACK_MATCHSCORE_AUTHENTICODE_THROWAWAY OFF)
if(NOT matchscore_authenticode_cert OR "$ENV{MATCHSCORE_AUTHENTICODE_KEY}" STREQUAL "")
  set(matchscore_authenticode_cert ${PROJECT_BINARY_DIR}/authenticode/cert.pem)
  set(CPACK_MATCHSCORE_AUTHENTICODE_THROWAWAY ON)
  message(STATUS "No MATCHSCORE_AUTHENTICODE_CERT and _KEY: packing signs with a throwaway certificate")
endif()

set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/packaging/windows-packages.cmake)
set(CPACK_MATCHSCORE_ZIP ${ZIP})
set(CPACK_MATCHSCORE_WXS ${PROJECT_BINARY_DIR}/matchscore.wxs)
set(CPACK_MATCHSCORE_AUTHENTICODE_CERT ${matchscore_authenticode_cert})
