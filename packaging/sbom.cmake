# Run by cpack once it has packed the tarball or the zip: writes the SBOMs
# of the program in it, matchscore-VERSION-TARGET.cdx.json (CycloneDX 1.6)
# and .spdx.json (SPDX 2.3), from one set of facts: the SHA-256 of the
# program as packed, and each piece of code the link map shows in it, named
# by the Debian package that holds its file, with the CPE and licence that
# packaging/components gives its source package. Both are dated by the
# commit, as every package is.
if(NOT CPACK_GENERATOR MATCHES "^(TGZ|External)$")
  return()
endif()

# json_string(VAR TEXT): TEXT as a JSON string, quoted.
string(ASCII 12 form_feed)
function(json_string var text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\r" "\\r" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  string(REPLACE "${form_feed}" "\\f" text "${text}")
  set(${var} "\"${text}\"" PARENT_SCOPE)
endfunction()

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

# Every file of the system's that the link took code from: an object it
# loaded, or an archive a member of which it included.
file(STRINGS ${CPACK_MATCHSCORE_LINK_MAP} lines REGEX "^(LOAD )?/usr/[^ ]*(\\.o|\\.a\\(.*)$")
set(packages "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^(LOAD )?(/[^(]*).*" "\\2" file "${line}")
  file(REAL_PATH ${file} file)
  if(NOT file IN_LIST files)
    list(APPEND files ${file})
    execute_process(COMMAND dpkg-query -S ${file} OUTPUT_VARIABLE owner COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE ":? /.*" "" owner "${owner}")
    list(APPEND packages ${owner})
  endif()
endforeach()
list(REMOVE_DUPLICATES packages)
list(SORT packages)

# The system whose packages these are, as a package URL names it: debian-12.
file(STRINGS /etc/os-release os REGEX "^(ID|VERSION_ID)=")
string(REGEX MATCH "(^|;)ID=\"?([^;\"]*)" _ "${os}")
set(distro ${CMAKE_MATCH_2})
string(REGEX MATCH "(^|;)VERSION_ID=\"?([^;\"]*)" _ "${os}")
string(APPEND distro -${CMAKE_MATCH_2})
file(STRINGS ${CPACK_MATCHSCORE_SOURCE_DIR}/packaging/components rows REGEX "^[^#]")
string(TIMESTAMP created "%Y-%m-%dT%H:%M:%SZ" UTC)
set(name matchscore-${CPACK_PACKAGE_VERSION}-${CPACK_MATCHSCORE_TARGET})
string(UUID uuid NAMESPACE 6ba7b811-9dad-11d1-80b4-00c04fd430c8 NAME "${name}:${digest}" TYPE SHA1)
set(product "pkg:generic/matchscore@${CPACK_PACKAGE_VERSION}?arch=${CPACK_MATCHSCORE_TARGET}")
string(REGEX MATCH "^(.*) <(.*)>$" _ "${CPACK_PACKAGE_CONTACT}")
set(supplier_name "${CMAKE_MATCH_1}")
set(supplier_email "${CMAKE_MATCH_2}")

# Each package's facts, in both forms.
set(cdx_components "")
set(cdx_refs "")
set(spdx_packages "")
set(spdx_links "")
set(spdx_licences "")
foreach(package IN LISTS packages)
  execute_process(COMMAND dpkg-query -W
    "-f=\${Package}|\${Architecture}|\${Version}|\${source:Package}|\${source:Version}" ${package}
    OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "|" ";" fields "${fields}")
  list(GET fields 0 package_name)
  list(GET fields 1 architecture)
  list(GET fields 2 version)
  list(GET fields 3 source)
  list(GET fields 4 source_version)
  string(REGEX MATCH "^([0-9]+:)?([0-9][0-9.]*[0-9])" _ "${version}")
  set(upstream ${CMAKE_MATCH_2})
  set(cpe_name "")
  foreach(line IN LISTS rows)
    if(line MATCHES "^${source}[ \t]+([^ \t]+)[ \t]+(.+)$")
      set(cpe_name ${CMAKE_MATCH_1})
      set(licence "${CMAKE_MATCH_2}")
    endif()
  endforeach()
  if(NOT cpe_name)
    message(FATAL_ERROR "The link put code of ${package} (source ${source}) into matchscore, "
      "but packaging/components has no row for ${source}")
  endif()
  string(REPLACE "+" "%2B" purl_version "${version}")
  string(REPLACE ":" "%3A" purl_version "${purl_version}")
  set(purl "pkg:deb/debian/${package_name}@${purl_version}?arch=${architecture}&distro=${distro}")
  string(REGEX REPLACE "[^A-Za-z0-9.-]" "-" id "SPDXRef-Package-${package_name}-${architecture}")
  set(cdx_cpe "")
  set(spdx_cpe "")
  if(NOT cpe_name STREQUAL "-")
    string(REPLACE ":" ";" cpe_parts ${cpe_name})
    list(GET cpe_parts 1 upstream_name)
    set(cpe "cpe:2.3:a:${cpe_name}:${upstream}:*:*:*:*:*:*:*")
    set(spdx_cpe ",
        { \"referenceCategory\": \"SECURITY\", \"referenceType\": \"cpe23Type\", \"referenceLocator\": \"${cpe}\" }")
    set(cdx_cpe ",
      \"cpe\": \"${cpe}\"")
  else()
    set(upstream_name ${source})
  endif()
  json_string(licence_json "${licence}")
  string(APPEND cdx_components "${cdx_comma}
    {
      \"type\": \"library\",
      \"bom-ref\": \"${purl}\",
      \"supplier\": { \"name\": \"Debian\" },
      \"name\": \"${package_name}\",
      \"version\": \"${version}\",
      \"licenses\": [ { \"expression\": ${licence_json} } ],
      \"purl\": \"${purl}\"${cdx_cpe},
      \"pedigree\": { \"ancestors\": [ { \"type\": \"library\", \"name\": \"${upstream_name}\", \"version\": \"${upstream}\", \"purl\": \"pkg:generic/${upstream_name}@${upstream}\" } ] },
      \"properties\": [ { \"name\": \"matchscore:linked\", \"value\": \"statically\" } ]
    }")
  string(APPEND cdx_refs "${cdx_comma} \"${purl}\"")
  set(cdx_comma ",")
  string(APPEND spdx_packages ",
    {
      \"SPDXID\": \"${id}\",
      \"name\": \"${package_name}\",
      \"versionInfo\": \"${version}\",
      \"supplier\": \"Organization: Debian\",
      \"downloadLocation\": \"NOASSERTION\",
      \"filesAnalyzed\": false,
      \"sourceInfo\": \"built from ${upstream_name} ${upstream}, as Debian's source package ${source} ${source_version}\",
      \"licenseConcluded\": ${licence_json},
      \"licenseDeclared\": ${licence_json},
      \"copyrightText\": \"NOASSERTION\",
      \"primaryPackagePurpose\": \"LIBRARY\",
      \"externalRefs\": [
        { \"referenceCategory\": \"PACKAGE-MANAGER\", \"referenceType\": \"purl\", \"referenceLocator\": \"${purl}\" }${spdx_cpe}
      ]
    }")
  string(APPEND spdx_links ",
    { \"spdxElementId\": \"SPDXRef-matchscore\", \"relationshipType\": \"STATIC_LINK\", \"relatedSpdxElement\": \"${id}\" }")
  # A licence of no SPDX identifier has its text in the document: the
  # package's own copyright file.
  string(REGEX MATCHALL "LicenseRef-[A-Za-z0-9.-]+" references "${licence}")
  foreach(reference IN LISTS references)
    file(READ /usr/share/doc/${package_name}/copyright text)
    json_string(text "${text}")
    string(APPEND spdx_licences "${spdx_licence_comma}
    { \"licenseId\": \"${reference}\", \"extractedText\": ${text} }")
    set(spdx_licence_comma ",")
  endforeach()
endforeach()

json_string(supplier "${CPACK_MATCHSCORE_VENDOR}")
json_string(email "${supplier_email}")
json_string(summary "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}")
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/${name}.cdx.json "{
  \"bomFormat\": \"CycloneDX\",
  \"specVersion\": \"1.6\",
  \"serialNumber\": \"urn:uuid:${uuid}\",
  \"version\": 1,
  \"metadata\": {
    \"timestamp\": \"${created}\",
    \"component\": {
      \"type\": \"application\",
      \"bom-ref\": \"${product}\",
      \"supplier\": { \"name\": ${supplier}, \"contact\": [ { \"email\": ${email} } ] },
      \"name\": \"matchscore\",
      \"version\": \"${CPACK_PACKAGE_VERSION}\",
      \"description\": ${summary},
      \"licenses\": [ { \"expression\": \"${CPACK_MATCHSCORE_LICENCE}\" } ],
      \"hashes\": [ { \"alg\": \"SHA-256\", \"content\": \"${digest}\" } ],
      \"purl\": \"${product}\"
    }
  },
  \"components\": [${cdx_components}
  ],
  \"dependencies\": [
    { \"ref\": \"${product}\", \"dependsOn\": [${cdx_refs} ] }
  ]
}
")
set(spdx_extracted "")
if(spdx_licences)
  set(spdx_extracted ",
  \"hasExtractedLicensingInfos\": [${spdx_licences}
  ]")
endif()
json_string(spdx_supplier "Organization: ${CPACK_MATCHSCORE_VENDOR} (${supplier_email})")
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/${name}.spdx.json "{
  \"spdxVersion\": \"SPDX-2.3\",
  \"dataLicense\": \"CC0-1.0\",
  \"SPDXID\": \"SPDXRef-DOCUMENT\",
  \"name\": \"${name}\",
  \"documentNamespace\": \"https://spdx.org/spdxdocs/${name}-${uuid}\",
  \"creationInfo\": {
    \"created\": \"${created}\",
    \"creators\": [ ${spdx_supplier}, \"Tool: matchscore-packaging-sbom.cmake\" ]
  },
  \"packages\": [
    {
      \"SPDXID\": \"SPDXRef-matchscore\",
      \"name\": \"matchscore\",
      \"versionInfo\": \"${CPACK_PACKAGE_VERSION}\",
      \"supplier\": ${spdx_supplier},
      \"downloadLocation\": \"NOASSERTION\",
      \"filesAnalyzed\": false,
      \"checksums\": [ { \"algorithm\": \"SHA256\", \"checksumValue\": \"${digest}\" } ],
      \"licenseConcluded\": \"${CPACK_MATCHSCORE_LICENCE}\",
      \"licenseDeclared\": \"${CPACK_MATCHSCORE_LICENCE}\",
      \"copyrightText\": \"NOASSERTION\",
      \"summary\": ${summary},
      \"primaryPackagePurpose\": \"APPLICATION\",
      \"externalRefs\": [
        { \"referenceCategory\": \"PACKAGE-MANAGER\", \"referenceType\": \"purl\", \"referenceLocator\": \"${product}\" }
      ]
    }${spdx_packages}
  ],
  \"relationships\": [
    { \"spdxElementId\": \"SPDXRef-DOCUMENT\", \"relationshipType\": \"DESCRIBES\", \"relatedSpdxElement\": \"SPDXRef-matchscore\" }${spdx_links}
  ]${spdx_extracted}
}
")
