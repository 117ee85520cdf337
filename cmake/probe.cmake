# The probes that decide how matchscore is linked, and the warning for a
# protection the binary will lack.

# matchscore_lose(PROPERTIES MESSAGE...): warns with MESSAGE that the binary
# will lack PROPERTIES (a list, maybe empty) of matchscore_wanted.
function(matchscore_lose properties)
  # Each part whole: ARGN, a list, would lose their semicolons.
  set(text "")
  math(EXPR last "${ARGC} - 1")
  foreach(part RANGE 1 ${last})
    string(APPEND text "${ARGV${part}}")
  endforeach()
  message(WARNING "${text}")
  list(APPEND matchscore_lost ${properties})
  set(matchscore_lost ${matchscore_lost} PARENT_SCOPE)
endfunction()

# The linker as it names itself, for the warnings below.
separate_arguments(linker_flags NATIVE_COMMAND "${CMAKE_EXE_LINKER_FLAGS}")
execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${linker_flags} -Wl,--version
  OUTPUT_VARIABLE matchscore_linker ERROR_QUIET)
string(REGEX MATCH "[^\n]*(GNU ld|GNU gold|LLD|mold)[^\n]*" matchscore_linker "${matchscore_linker}")
if(NOT matchscore_linker)
  set(matchscore_linker "the linker")
endif()

set(probe_source "#include <stdio.h>\nint main() { return printf(\"%s\", \"\"); }\n")
# What the builder's own flags make the compiler and linker warn of, with no
# flag of the project's: those warnings are the builder's, so neither a
# probe nor the link test holds them against the project's flags.
try_compile(builder_built SOURCE_FROM_CONTENT probe.cpp "${probe_source}"
  OUTPUT_VARIABLE builder_output NO_CACHE)
string(REGEX MATCHALL "warning: [^\n]*" matchscore_builder_warnings "${builder_output}")
list(REMOVE_DUPLICATES matchscore_builder_warnings)

# matchscore_probe(VAR [COMPILE flag...] [LINK option...] [LIBRARIES item...])
# Sets VAR true when a small program builds with these flags, with no
# warning of the project's from the linker (lld only warns of a -z option it
# does not know), and then runs, where anything can run. Otherwise sets
# VAR_WHY to the first line of the failure.
function(matchscore_probe var)
  cmake_parse_arguments(PARSE_ARGV 1 probe "" "" "COMPILE;LINK;LIBRARIES")
  set(program ${CMAKE_BINARY_DIR}/CMakeFiles/matchscore-probe)
  file(REMOVE ${program})
  try_compile(built SOURCE_FROM_CONTENT probe.cpp "${probe_source}"
    COMPILE_DEFINITIONS ${probe_COMPILE}
    LINK_OPTIONS ${probe_LINK}
    LINK_LIBRARIES ${probe_LIBRARIES}
    COPY_FILE ${program}
    OUTPUT_VARIABLE output)
  set(failure ": warning:|: error:|undefined reference|unknown option|unrecognized")
  string(REGEX MATCH "[^\n]*(${failure})[^\n]*" why "${output}")
  if(NOT why)
    set(why "the probe did not build")
  endif()
  string(REGEX MATCHALL "warning: [^\n]*" warnings "${output}")
  if(warnings AND matchscore_builder_warnings)
    list(REMOVE_ITEM warnings ${matchscore_builder_warnings})
  endif()
  if(built AND NOT warnings)
    if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
      set(${var} TRUE PARENT_SCOPE)
      return()
    endif()
    execute_process(COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${program}
      RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    if(status EQUAL 0)
      set(${var} TRUE PARENT_SCOPE)
      return()
    endif()
    set(why "the program it linked failed to run: ${status}")
  endif()
  set(${var} FALSE PARENT_SCOPE)
  string(STRIP "${why}" why)
  set(${var}_WHY "${why}" PARENT_SCOPE)
endfunction()

# matchscore_libc(VAR [flag...]): the C library whose headers these compile
# flags reach, named only from what its headers define: glibc says so, musl,
# which says nothing of itself, defines FILE behind its own guard, and
# MinGW-w64 says which of Windows' C runtimes it targets.
function(matchscore_libc var)
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  foreach(name_macro glibc:__GLIBC__ musl:__DEFINED_FILE ucrt:_UCRT msvcrt:__MSVCRT__)
    string(REPLACE ":" ";" name_macro ${name_macro})
    list(POP_FRONT name_macro name macro)
    try_compile(found SOURCE_FROM_CONTENT libc.cpp
      "#include <stdio.h>\n#ifndef ${macro}\n#error not ${name}\n#endif\n"
      COMPILE_DEFINITIONS ${ARGN})
    if(found)
      set(${var} ${name} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${var} "the system's C library" PARENT_SCOPE)
endfunction()
