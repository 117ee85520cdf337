# Builds for the target windows-x86_64 of cmake/targets, which says what it needs.
set(MATCHSCORE_TARGET windows-x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/../target.cmake)
# Debian's two MinGW-w64 compilers differ in their threads; the win32 one
# links no winpthread, whichever the system's alternative names.
set(CMAKE_CXX_COMPILER ${MATCHSCORE_TARGET_TRIPLET}-g++-win32)
# wine's own hints on standard error would mix with the program's.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all ${CMAKE_CROSSCOMPILING_EMULATOR})
