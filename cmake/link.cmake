# How matchscore is linked: the interface target matchscore_link, and the
# line configure prints, which names the C library from its headers and the
# link from the probe that made it. The label test holds the binary to that
# line and to matchscore_wanted, the protections this build asks for, of
# which matchscore_lost are those configure warned it could not give.
#
# On Linux, a run is almost all process start-up, so the program links
# statically, as a position-independent executable: no dynamic loader, and
# address-space randomisation kept. musl starts close to the kernel's floor,
# while glibc's start-up probes the processor, which traps to the hypervisor
# on a virtual machine. So musl comes first, then a glibc static PIE, then
# the default link. Each link is chosen by building a probe and, where it
# can run (natively or under CMAKE_CROSSCOMPILING_EMULATOR), running it: a
# static PIE that links but cannot relocate itself would fail only at
# start-up.

option(MATCHSCORE_STATIC_PIE "Link matchscore as a static PIE when the toolchain can" ON)
set(MATCHSCORE_LIBC auto CACHE STRING "C library of the static PIE: auto, musl or glibc")
set_property(CACHE MATCHSCORE_LIBC PROPERTY STRINGS auto musl glibc)
if(NOT MATCHSCORE_LIBC MATCHES "^(auto|musl|glibc)$")
  message(FATAL_ERROR "MATCHSCORE_LIBC must be auto, musl or glibc, not '${MATCHSCORE_LIBC}'")
endif()
if(MATCHSCORE_LIBC STREQUAL "musl" AND NOT MATCHSCORE_STATIC_PIE)
  message(FATAL_ERROR "musl is linked only as a static PIE: drop MATCHSCORE_STATIC_PIE=OFF")
endif()

add_library(matchscore_link INTERFACE)
set(matchscore_wanted stack-protector)
set(matchscore_lost "")

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
  OUTPUT_VARIABLE linker ERROR_QUIET)
string(REGEX MATCH "[^\n]*(GNU ld|GNU gold|LLD|mold)[^\n]*" linker "${linker}")
if(NOT linker)
  set(linker "the linker")
endif()

# matchscore_probe(VAR [COMPILE flag...] [LINK option...] [LIBRARIES item...])
# Sets VAR true when a small program builds with these flags, with no
# warning from the linker (lld only warns of a -z option it does not know),
# and then runs, where anything can run. Otherwise sets VAR_WHY to the first
# line of the failure.
function(matchscore_probe var)
  cmake_parse_arguments(PARSE_ARGV 1 probe "" "" "COMPILE;LINK;LIBRARIES")
  set(program ${CMAKE_BINARY_DIR}/CMakeFiles/matchscore-probe)
  file(REMOVE ${program})
  try_compile(built SOURCE_FROM_CONTENT probe.cpp
    "#include <stdio.h>\nint main() { return printf(\"%s\", \"\"); }\n"
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
  if(built AND NOT output MATCHES "warning:")
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

matchscore_libc(libc)
set(link "dynamically linked")

# Hardening that current distributions compile with, where the compiler
# takes it: stack clash protection, automatic variables that start at zero,
# and on arm64 return addresses signed (PAC, which works function by
# function; the BTI landing pads that come with it take effect only once
# every object linked in is marked for them, which musl's and libgcc's are not).
set(hardening_compile -fstack-clash-protection -ftrivial-auto-var-init=zero)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
  list(APPEND hardening_compile -mbranch-protection=standard)
  list(APPEND matchscore_wanted pac)
endif()
foreach(flag IN LISTS hardening_compile)
  string(MAKE_C_IDENTIFIER "MATCHSCORE_HAVE${flag}" have)
  matchscore_probe(${have} COMPILE ${flag})
  if(${have})
    target_compile_options(matchscore_link INTERFACE ${flag})
  else()
    # Of these, only the signed return addresses show in the binary.
    set(shows "")
    if(flag MATCHES "branch-protection")
      set(shows pac)
    endif()
    matchscore_lose("${shows}" "${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION} does not take "
      "${flag} (${${have}_WHY}): matchscore is built without it")
  endif()
endforeach()

# The C library, the static PIE and the ELF linker's hardening are Linux's;
# Windows has a branch of its own.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # Hardening that not every linker takes.
  list(APPEND matchscore_wanted nx-stack relro bind-now)
  matchscore_probe(MATCHSCORE_HAVE_RELRO LINK LINKER:-z,relro,-z,now)
  if(MATCHSCORE_HAVE_RELRO)
    set(hardening LINKER:-z,relro,-z,now)
    target_link_options(matchscore_link INTERFACE ${hardening})
  else()
    matchscore_lose("relro;bind-now" "${linker} does not take -z relro -z now (${MATCHSCORE_HAVE_RELRO_WHY}): "
      "matchscore has no read-only relocations and binds lazily")
  endif()

  if(MATCHSCORE_STATIC_PIE AND NOT MATCHSCORE_LIBC STREQUAL "glibc")
    # The target's Debian musl-dev, or musl's own default prefix.
    set(musl_libdirs /usr/local/musl/lib)
    set(musl_includedirs /usr/local/musl/include)
    if(MATCHSCORE_TARGET_MUSL)
      list(PREPEND musl_libdirs /usr/lib/${MATCHSCORE_TARGET_MUSL})
      list(PREPEND musl_includedirs /usr/include/${MATCHSCORE_TARGET_MUSL})
    endif()
    find_path(MATCHSCORE_MUSL_LIBDIR rcrt1.o PATHS ${musl_libdirs} NO_DEFAULT_PATH)
    find_path(MATCHSCORE_MUSL_INCLUDEDIR stdio.h PATHS ${musl_includedirs} NO_DEFAULT_PATH)
    # The compiler's own start files and libraries are glibc's, so musl's are
    # named outright; rcrt1.o is the start file that relocates a static PIE.
    # Nothing of the C++ library is linked, so nothing could unwind an
    # exception. musl's libc.a needs the compiler's runtime on most targets
    # (software long double on some 64-bit ones, 64-bit division on 32-bit
    # ones, whose division-by-zero handler calls back into the C library),
    # hence the group.
    # The static PIE is asked of the linker itself: gcc for arm ignores
    # -static-pie.
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
      OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(musl_compile -fPIE -fno-exceptions -nostdinc -isystem ${MATCHSCORE_MUSL_INCLUDEDIR})
    set(musl_link -nostdlib -pie LINKER:-static,--no-dynamic-linker,-z,text
      ${MATCHSCORE_MUSL_LIBDIR}/rcrt1.o ${MATCHSCORE_MUSL_LIBDIR}/crti.o)
    set(musl_libraries "$<LINK_GROUP:RESCAN,${MATCHSCORE_MUSL_LIBDIR}/libc.a,${libgcc}>"
      ${MATCHSCORE_MUSL_LIBDIR}/crtn.o)
    if(MATCHSCORE_MUSL_LIBDIR AND MATCHSCORE_MUSL_INCLUDEDIR)
      matchscore_libc(musl_headers ${musl_compile})
      if(musl_headers STREQUAL "musl")
        matchscore_probe(MATCHSCORE_HAVE_MUSL_STATIC_PIE
          COMPILE ${musl_compile} LINK ${musl_link} ${hardening} LIBRARIES ${musl_libraries})
      else()
        set(MATCHSCORE_HAVE_MUSL_STATIC_PIE_WHY
          "${MATCHSCORE_MUSL_INCLUDEDIR} does not hold musl's headers")
      endif()
    else()
      set(MATCHSCORE_HAVE_MUSL_STATIC_PIE_WHY "no musl found")
    endif()
    if(MATCHSCORE_HAVE_MUSL_STATIC_PIE)
      # musl makes the RELRO range read-only only in its dynamic loader, which
      # a static PIE never runs, so the program does it itself.
      if(MATCHSCORE_HAVE_RELRO)
        target_compile_definitions(matchscore_link INTERFACE MATCHSCORE_APPLY_RELRO)
        set(relro_applied_by program)
      endif()
      target_compile_options(matchscore_link INTERFACE ${musl_compile})
      target_link_options(matchscore_link INTERFACE ${musl_link})
      target_link_libraries(matchscore_link INTERFACE ${musl_libraries})
      set(libc musl)
      set(link "as a static PIE")
    elseif(MATCHSCORE_LIBC STREQUAL "auto" AND MATCHSCORE_MUSL_LIBDIR)
      message(WARNING "musl is installed, but no static PIE could be made with it and "
        "${linker}: ${MATCHSCORE_HAVE_MUSL_STATIC_PIE_WHY}; trying glibc")
    elseif(MATCHSCORE_LIBC STREQUAL "auto")
      list(JOIN musl_libdirs " or " musl_libdirs)
      message(STATUS "No musl found in ${musl_libdirs}; trying glibc")
    elseif(MATCHSCORE_LIBC STREQUAL "musl")
      message(FATAL_ERROR "MATCHSCORE_LIBC=musl, but no musl static PIE could be built and run "
        "with ${linker}: ${MATCHSCORE_HAVE_MUSL_STATIC_PIE_WHY}. Install musl (on Debian: "
        "apt-get install musl-dev, or for another architecture the musl-dev:ARCH that "
        "cmake/targets names) or set MATCHSCORE_LIBC=auto")
    endif()
  endif()

  if(MATCHSCORE_STATIC_PIE)
    list(APPEND matchscore_wanted static-pie)
  endif()
  if(MATCHSCORE_STATIC_PIE AND NOT MATCHSCORE_HAVE_MUSL_STATIC_PIE)
    matchscore_probe(MATCHSCORE_HAVE_STATIC_PIE COMPILE -fPIE LINK -static-pie ${hardening})
    if(MATCHSCORE_HAVE_STATIC_PIE)
      # Packed relative relocations make the self-relocation cheaper; musl
      # cannot apply them before 1.2.4, so they are for glibc only.
      matchscore_probe(MATCHSCORE_HAVE_PACKED_RELOCS
        COMPILE -fPIE LINK -static-pie ${hardening} LINKER:-z,pack-relative-relocs)
      target_compile_options(matchscore_link INTERFACE -fPIE)
      target_link_options(matchscore_link INTERFACE -static-pie
        $<$<BOOL:${MATCHSCORE_HAVE_PACKED_RELOCS}>:LINKER:-z,pack-relative-relocs>)
      set(link "as a static PIE")
    else()
      matchscore_lose(static-pie "No static PIE could be made with ${linker}: "
        "${MATCHSCORE_HAVE_STATIC_PIE_WHY}; matchscore is dynamically linked")
    endif()
  endif()

  if(libc STREQUAL "glibc")
    # musl has no _FORTIFY_SOURCE; glibc's checks need optimisation.
    target_compile_definitions(matchscore_link INTERFACE
      $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
elseif(WIN32)
  # Windows' C runtime is a DLL of Windows' own; the rest (MinGW-w64's
  # start-up code and its printf and scanf, libgcc, and libssp for the stack
  # protector) is linked in, so the program needs no DLL beside it. It asks
  # for address-space randomisation with high entropy and for DEP, and the
  # linker stamps no time into the header, which would make every build differ.
  set(windows_link -static -fstack-protector-strong
    LINKER:--dynamicbase,--high-entropy-va,--nxcompat,--no-insert-timestamp)
  list(APPEND matchscore_wanted aslr high-entropy dep)
  matchscore_probe(MATCHSCORE_HAVE_WINDOWS_LINK LINK ${windows_link})
  if(MATCHSCORE_HAVE_WINDOWS_LINK)
    target_link_options(matchscore_link INTERFACE ${windows_link})
    set(link "with the rest linked statically")
  else()
    matchscore_lose("aslr;high-entropy;dep" "${linker} cannot link matchscore statically with ASLR and DEP "
      "(${MATCHSCORE_HAVE_WINDOWS_LINK_WHY}); it may need MinGW-w64's DLLs beside it")
  endif()
endif()

message(STATUS "matchscore links against ${libc}, ${link}")
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(no_run "the link was built, not run, and the tests that run the program say SKIP")
  if(MATCHSCORE_TARGET_EMULATOR AND NOT DEFINED CACHE{CMAKE_CROSSCOMPILING_EMULATOR})
    message(WARNING "${MATCHSCORE_TARGET_EMULATOR} is not installed, so nothing built for "
      "${MATCHSCORE_TARGET} runs here: ${no_run}. cmake/targets names the packages it needs.")
  else()
    message(STATUS "No CMAKE_CROSSCOMPILING_EMULATOR: ${no_run}")
  endif()
endif()
