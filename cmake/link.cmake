# How matchscore is linked: the interface target matchscore_link.
#
# A run is almost all process start-up, so the program links statically, as
# a position-independent executable: no dynamic loader, and address-space
# randomisation kept. musl starts close to the kernel's floor, while glibc's
# start-up probes the processor, which traps to the hypervisor on a virtual
# machine. So musl comes first, then a glibc static PIE, then the default
# link. Each static link is chosen by building and running a probe: a static
# PIE that links but cannot relocate itself would fail only at start-up.

option(MATCHSCORE_STATIC_PIE "Link matchscore as a static PIE when the toolchain can" ON)
set(MATCHSCORE_LIBC auto CACHE STRING "C library of the static PIE: auto, musl or glibc")
set_property(CACHE MATCHSCORE_LIBC PROPERTY STRINGS auto musl glibc)
if(NOT MATCHSCORE_LIBC MATCHES "^(auto|musl|glibc)$")
  message(FATAL_ERROR "MATCHSCORE_LIBC must be auto, musl or glibc, not '${MATCHSCORE_LIBC}'")
endif()
if(MATCHSCORE_LIBC STREQUAL "musl" AND NOT MATCHSCORE_STATIC_PIE)
  message(FATAL_ERROR "musl is linked only as a static PIE: drop MATCHSCORE_STATIC_PIE=OFF")
endif()

include(CheckSourceRuns)
add_library(matchscore_link INTERFACE)
set(probe "#include <stdio.h>\nint main() { return printf(\"%s\", \"\"); }")
set(libc glibc)
set(link "dynamically linked")

if(MATCHSCORE_STATIC_PIE AND NOT MATCHSCORE_LIBC STREQUAL "glibc")
  # Debian's musl-tools, or musl's own default prefix.
  string(REPLACE "-gnu" "-musl" musl_triplet "${CMAKE_LIBRARY_ARCHITECTURE}")
  find_path(MATCHSCORE_MUSL_LIBDIR rcrt1.o
    PATHS /usr/lib/${musl_triplet} /usr/local/musl/lib NO_DEFAULT_PATH)
  find_path(MATCHSCORE_MUSL_INCLUDEDIR stdio.h
    PATHS /usr/include/${musl_triplet} /usr/local/musl/include NO_DEFAULT_PATH)
  # The compiler's own start files and libraries are glibc's, so musl's are
  # named outright; rcrt1.o is the start file that relocates a static PIE.
  # The program uses nothing from the C++ library or the compiler's runtime:
  # were that to change, the link would fail, not the program.
  set(musl_compile -fPIE -nostdinc -isystem ${MATCHSCORE_MUSL_INCLUDEDIR})
  set(musl_link -static-pie -nostdlib
    ${MATCHSCORE_MUSL_LIBDIR}/rcrt1.o ${MATCHSCORE_MUSL_LIBDIR}/crti.o)
  set(musl_libraries ${MATCHSCORE_MUSL_LIBDIR}/libc.a ${MATCHSCORE_MUSL_LIBDIR}/crtn.o)
  if(MATCHSCORE_MUSL_LIBDIR AND MATCHSCORE_MUSL_INCLUDEDIR)
    list(JOIN musl_compile " " CMAKE_REQUIRED_FLAGS)
    set(CMAKE_REQUIRED_LINK_OPTIONS ${musl_link})
    set(CMAKE_REQUIRED_LIBRARIES ${musl_libraries})
    check_source_runs(CXX "${probe}" MATCHSCORE_HAVE_MUSL_STATIC_PIE)
    unset(CMAKE_REQUIRED_FLAGS)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    unset(CMAKE_REQUIRED_LIBRARIES)
  endif()
  if(MATCHSCORE_HAVE_MUSL_STATIC_PIE)
    target_compile_options(matchscore_link INTERFACE ${musl_compile})
    target_link_options(matchscore_link INTERFACE ${musl_link})
    target_link_libraries(matchscore_link INTERFACE ${musl_libraries})
    set(libc musl)
    set(link "as a static PIE")
  elseif(MATCHSCORE_LIBC STREQUAL "musl")
    message(FATAL_ERROR "MATCHSCORE_LIBC=musl, but no musl static PIE could be built and run; "
      "install musl (on Debian: apt-get install musl-tools) or set MATCHSCORE_LIBC=auto")
  endif()
endif()

if(libc STREQUAL "glibc")
  # musl has no _FORTIFY_SOURCE; glibc's checks need optimisation.
  target_compile_definitions(matchscore_link INTERFACE
    $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  if(MATCHSCORE_STATIC_PIE)
    set(CMAKE_REQUIRED_FLAGS -fPIE)
    set(CMAKE_REQUIRED_LINK_OPTIONS -static-pie)
    check_source_runs(CXX "${probe}" MATCHSCORE_HAVE_STATIC_PIE)
    # Packed relative relocations make the self-relocation cheaper; musl
    # cannot apply them before 1.2.4, so they are for glibc only.
    list(APPEND CMAKE_REQUIRED_LINK_OPTIONS -Wl,-z,pack-relative-relocs)
    check_source_runs(CXX "${probe}" MATCHSCORE_HAVE_PACKED_RELOCS)
    unset(CMAKE_REQUIRED_FLAGS)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    if(MATCHSCORE_HAVE_STATIC_PIE)
      target_compile_options(matchscore_link INTERFACE -fPIE)
      target_link_options(matchscore_link INTERFACE -static-pie
        $<$<BOOL:${MATCHSCORE_HAVE_PACKED_RELOCS}>:-Wl,-z,pack-relative-relocs>)
      set(link "as a static PIE")
    endif()
  endif()
endif()

message(STATUS "matchscore links against ${libc}, ${link}")
