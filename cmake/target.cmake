# This build's target: its row of cmake/targets, as MATCHSCORE_TARGET (the
# row's name) and MATCHSCORE_TARGET_<COLUMN> variables, such as
# MATCHSCORE_TARGET_RPM; a column's "-" reads as empty.
#
# Given -DMATCHSCORE_TARGET=NAME, CMakeLists.txt makes this file the
# toolchain file, which names the compiler and, unless the row is the
# machine that builds it, the system, the processor and the emulator.
# Included after project() with no MATCHSCORE_TARGET, it finds the row of
# the system and processor being built for, if there is one.

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/targets _matchscore_lines)
foreach(_matchscore_line IN LISTS _matchscore_lines)
  string(REGEX REPLACE "[ \t]+" ";" _matchscore_fields "${_matchscore_line}")
  list(POP_FRONT _matchscore_fields _matchscore_name)
  if(_matchscore_name STREQUAL "#target")
    string(TOUPPER "${_matchscore_fields}" _matchscore_columns)
  elseif(NOT _matchscore_name MATCHES "^(#|$)")
    list(GET _matchscore_fields 0 1 _matchscore_place)
    if(_matchscore_name STREQUAL "${MATCHSCORE_TARGET}" OR (NOT MATCHSCORE_TARGET AND
        _matchscore_place STREQUAL "${CMAKE_SYSTEM_NAME};${CMAKE_SYSTEM_PROCESSOR}"))
      set(_matchscore_found ${_matchscore_name})
      foreach(_matchscore_column _matchscore_value IN ZIP_LISTS
          _matchscore_columns _matchscore_fields)
        string(REGEX REPLACE "^-$" "" MATCHSCORE_TARGET_${_matchscore_column}
          "${_matchscore_value}")
      endforeach()
    endif()
  endif()
endforeach()

if(MATCHSCORE_TARGET AND NOT _matchscore_found)
  message(FATAL_ERROR "${MATCHSCORE_TARGET} is not a target in ${CMAKE_CURRENT_LIST_DIR}/targets")
elseif(MATCHSCORE_TARGET)
  # The probes' own projects read this file again, and need the name too.
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MATCHSCORE_TARGET)
  set(CMAKE_CXX_COMPILER ${MATCHSCORE_TARGET_TRIPLET}-g++)
  if(MATCHSCORE_TARGET_SYSTEM STREQUAL "Windows")
    # Debian's two MinGW-w64 compilers differ in their threads; the win32
    # one links no winpthread, whichever the system's alternative names.
    string(APPEND CMAKE_CXX_COMPILER -win32)
  endif()
  if(NOT CMAKE_HOST_SYSTEM_NAME STREQUAL MATCHSCORE_TARGET_SYSTEM
      OR NOT CMAKE_HOST_SYSTEM_PROCESSOR STREQUAL MATCHSCORE_TARGET_PROCESSOR)
    set(CMAKE_SYSTEM_NAME ${MATCHSCORE_TARGET_SYSTEM})
    set(CMAKE_SYSTEM_PROCESSOR ${MATCHSCORE_TARGET_PROCESSOR})
    # The row's emulator where it is installed, unless the cache names
    # another, or none by an empty value (cmake/link.cmake says which).
    find_program(_matchscore_emulator ${MATCHSCORE_TARGET_EMULATOR} NO_CACHE)
    if(_matchscore_emulator AND NOT DEFINED CACHE{CMAKE_CROSSCOMPILING_EMULATOR})
      set(CMAKE_CROSSCOMPILING_EMULATOR ${MATCHSCORE_TARGET_EMULATOR})
      if(MATCHSCORE_TARGET_SYSTEM STREQUAL "Linux")
        # Where qemu finds the dynamic loader, for the probes that need one.
        list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -L /usr/${MATCHSCORE_TARGET_TRIPLET})
      else()
        # wine's own hints on standard error would mix with the program's;
        # setarch -R keeps the loader's heap off Windows' shared user data
        # (doc/design.md says why).
        set(CMAKE_CROSSCOMPILING_EMULATOR setarch -R env WINEDEBUG=-all
          ${MATCHSCORE_TARGET_EMULATOR})
      endif()
    endif()
  endif()
else()
  set(MATCHSCORE_TARGET ${_matchscore_found})
endif()
