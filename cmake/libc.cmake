# The C library and the link of a Linux build. The plain build links the
# system's C library as the compiler does by default, as a PIE, as a
# distribution's package is built. A run is almost all process start-up, so
# the release links statically, as a position-independent executable: no
# dynamic loader, and address-space randomisation kept. musl starts close
# to the kernel's floor, while glibc's start-up probes the processor, which
# traps to the hypervisor on a virtual machine (doc/performance.md). So a
# target of cmake/targets links musl, and any build can ask for either
# static PIE. Each link is chosen by building a probe and, where it can run
# (natively or under CMAKE_CROSSCOMPILING_EMULATOR), running it: a static
# PIE that links but cannot relocate itself would fail only at start-up.

if(matchscore_release_build AND MATCHSCORE_TARGET_MUSL)
  set(libc_default musl)
else()
  set(libc_default system)
endif()
set(MATCHSCORE_LIBC ${libc_default} CACHE STRING "The C library: system, the compiler's own link; \
musl or glibc, a static PIE against it; auto, a static PIE against musl where installed, else glibc")
set_property(CACHE MATCHSCORE_LIBC PROPERTY STRINGS system musl glibc auto)
if(NOT MATCHSCORE_LIBC MATCHES "^(system|musl|glibc|auto)$")
  message(FATAL_ERROR "MATCHSCORE_LIBC must be system, musl, glibc or auto, not '${MATCHSCORE_LIBC}'")
endif()
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
set(static_pie ON)
if(MATCHSCORE_LIBC STREQUAL "system")
  set(static_pie OFF)
  # A PIE, whether or not the compiler makes one by default.
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  list(APPEND matchscore_wanted pie)
endif()

if(static_pie AND NOT MATCHSCORE_LIBC STREQUAL "glibc")
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
        COMPILE ${musl_compile} LINK ${musl_link} ${matchscore_relro_link} LIBRARIES ${musl_libraries})
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
      set(matchscore_relro_applied_by program)
    endif()
    target_compile_options(matchscore_link INTERFACE ${musl_compile})
    target_link_options(matchscore_link INTERFACE ${musl_link})
    target_link_libraries(matchscore_link INTERFACE ${musl_libraries})
    set(matchscore_libc musl)
    set(matchscore_linkage "as a static PIE")
  elseif(MATCHSCORE_LIBC STREQUAL "auto" AND MATCHSCORE_MUSL_LIBDIR)
    message(WARNING "musl is installed, but no static PIE could be made with it and "
      "${matchscore_linker}: ${MATCHSCORE_HAVE_MUSL_STATIC_PIE_WHY}; trying glibc")
  elseif(MATCHSCORE_LIBC STREQUAL "auto")
    list(JOIN musl_libdirs " or " musl_libdirs)
    message(STATUS "No musl found in ${musl_libdirs}; trying glibc")
  elseif(MATCHSCORE_LIBC STREQUAL "musl")
    message(FATAL_ERROR "MATCHSCORE_LIBC=musl, but no musl static PIE could be built and run "
      "with ${matchscore_linker}: ${MATCHSCORE_HAVE_MUSL_STATIC_PIE_WHY}. Install musl (on Debian: "
      "apt-get install musl-dev, or for another architecture the musl-dev:ARCH that "
      "cmake/targets names), or set MATCHSCORE_LIBC=system for the toolchain's own link")
  endif()
endif()

if(static_pie)
  list(APPEND matchscore_wanted static-pie)
endif()
if(static_pie AND NOT MATCHSCORE_HAVE_MUSL_STATIC_PIE)
  matchscore_probe(MATCHSCORE_HAVE_STATIC_PIE COMPILE -fPIE LINK -static-pie ${matchscore_relro_link})
  if(MATCHSCORE_HAVE_STATIC_PIE)
    # Packed relative relocations make the self-relocation cheaper; musl
    # cannot apply them before 1.2.4, so they are for glibc only.
    matchscore_probe(MATCHSCORE_HAVE_PACKED_RELOCS
      COMPILE -fPIE LINK -static-pie ${matchscore_relro_link} LINKER:-z,pack-relative-relocs)
    target_compile_options(matchscore_link INTERFACE -fPIE)
    target_link_options(matchscore_link INTERFACE -static-pie
      $<$<BOOL:${MATCHSCORE_HAVE_PACKED_RELOCS}>:LINKER:-z,pack-relative-relocs>)
    set(matchscore_linkage "as a static PIE")
  else()
    matchscore_lose(static-pie "No static PIE could be made with ${matchscore_linker}: "
      "${MATCHSCORE_HAVE_STATIC_PIE_WHY}; matchscore is dynamically linked")
  endif()
endif()

if(matchscore_libc STREQUAL "glibc")
  # musl has no _FORTIFY_SOURCE; glibc's checks need optimisation. Where the
  # builder's flags or the compiler's own defaults name a level already,
  # defining it again would warn of a redefinition, or lower it.
  try_compile(fortify_unnamed SOURCE_FROM_CONTENT fortify.cpp
    "#include <stdio.h>\n#ifdef _FORTIFY_SOURCE\n#error named\n#endif\n"
    COMPILE_DEFINITIONS -O2 NO_CACHE)
  if(fortify_unnamed)
    target_compile_definitions(matchscore_link INTERFACE
      $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
endif()
