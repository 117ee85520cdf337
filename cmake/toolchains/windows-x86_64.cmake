# Builds for the target windows-x86_64 of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET windows-x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
# Debian's two MinGW-w64 compilers differ in their threads; the win32 one
# links no winpthread, whichever the system's alternative names.
set(CMAKE_CXX_COMPILER ${MATCHSCORE_TARGET_TRIPLET}-g++-win32)
# wine's own hints on standard error would mix with the program's. Debian's
# wine has no preloader: its loader sits at a fixed address, and the kernel
# puts the loader's heap anywhere in the gigabyte above it, so about one start
# in 8,000 the heap covers the fixed address of Windows' shared user data, and
# wine fails with status 1 before the program runs. setarch -R keeps the heap
# right after the loader.
if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT DEFINED CACHE{CMAKE_CROSSCOMPILING_EMULATOR})
  set(CMAKE_CROSSCOMPILING_EMULATOR setarch -R env WINEDEBUG=-all ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
