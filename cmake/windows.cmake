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
  set(matchscore_linkage "with the rest linked statically")
else()
  matchscore_lose("aslr;high-entropy;dep" "${matchscore_linker} cannot link matchscore statically with ASLR and DEP "
    "(${MATCHSCORE_HAVE_WINDOWS_LINK_WHY}); it may need MinGW-w64's DLLs beside it")
endif()
