# The protections matchscore is compiled and linked with, where the compiler
# and the linker take them; each that is asked for is in matchscore_wanted.

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

# The ELF linker's hardening, which not every linker takes: the link option
# is matchscore_relro_link, which the static PIE's probes link with too.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  list(APPEND matchscore_wanted nx-stack relro bind-now)
  matchscore_probe(MATCHSCORE_HAVE_RELRO LINK LINKER:-z,relro,-z,now)
  if(MATCHSCORE_HAVE_RELRO)
    set(matchscore_relro_link LINKER:-z,relro,-z,now)
    target_link_options(matchscore_link INTERFACE ${matchscore_relro_link})
  else()
    matchscore_lose("relro;bind-now" "${matchscore_linker} does not take -z relro -z now (${MATCHSCORE_HAVE_RELRO_WHY}): "
      "matchscore has no read-only relocations and binds lazily")
  endif()
endif()
