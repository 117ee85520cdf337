# cmake -D WXS=FILE -D FOLDER=DIR -D VERSION=VERSION -D OUTPUT=FILE -P msi.cmake
# Builds OUTPUT, the MSI that WXS (the build's matchscore.wxs) describes,
# of the files in FOLDER, for VERSION; packing includes it, and the package
# tests run it to make a later release's MSI. wixl writes no Environment
# table, so msibuild adds the system Path entry: the install folder, put
# first, which removal takes out again, leaving Path as it was.
# The same files give the same bytes: the product code follows the
# version, the package code the contents, and wixl's clock (it reads no
# SOURCE_DATE_EPOCH) is stopped at SOURCE_DATE_EPOCH, as the cabinet's file
# times already are.
foreach(tool wixl msibuild:msitools faketime)
  string(REGEX REPLACE ":.*" "" program ${tool})
  string(REGEX REPLACE ".*:" "" package ${tool})
  find_program(${program}_path ${program})
  if(NOT ${program}_path)
    message(FATAL_ERROR "${program} is not installed, which makes the MSI (apt-get install ${package})")
  endif()
endforeach()

file(READ ${WXS} source)
string(REGEX MATCH "UpgradeCode=\"([^\"]+)\"" _ "${source}")
set(upgrade_code ${CMAKE_MATCH_1})
string(REGEX MATCH "Manufacturer=\"([^\"]+)\"" _ "${source}")
string(REPLACE "&quot;" "\"" vendor "${CMAKE_MATCH_1}")
string(REPLACE "&lt;" "<" vendor "${vendor}")
string(REPLACE "&amp;" "&" vendor "${vendor}")
string(UUID product_code NAMESPACE ${upgrade_code} NAME "matchscore ${VERSION}" TYPE SHA1 UPPER)
string(TIMESTAMP clock "%Y-%m-%d %H:%M:%S" UTC)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${faketime_path} -f "${clock}"
    ${wixl_path} -a x64 -D Version=${VERSION} -D ProductCode={${product_code}}
    -o ${OUTPUT} ${WXS}
  WORKING_DIRECTORY ${FOLDER} COMMAND_ERROR_IS_FATAL ANY)

# wixl draws the package code at random; this one names the files packed.
file(GLOB packed ${FOLDER}/*)
list(SORT packed)
set(digests ${VERSION})
foreach(file IN LISTS packed)
  file(SHA256 ${file} digest)
  list(APPEND digests ${digest})
endforeach()
string(UUID package_code NAMESPACE ${upgrade_code} NAME "${digests}" TYPE SHA1 UPPER)
set(path_entry "'Path', '=-*Path', '[INSTALLDIR];[~]', 'matchscore.exe'")
execute_process(COMMAND ${msibuild_path} ${OUTPUT} -s matchscore ${vendor} "x64;1033" {${package_code}}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${msibuild_path} ${OUTPUT} -q "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, \
`Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
    -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES (${path_entry})"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
  COMMAND_ERROR_IS_FATAL ANY)
