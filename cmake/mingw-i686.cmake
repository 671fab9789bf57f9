# Cross-build for 32-bit Windows with MinGW-w64. The win32 thread model's runtime imports nothing
# newer than Windows XP (the posix one's threading library needs GetTickCount64, Vista and later);
# the program starts no thread of its own and needs no C++ library threads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVANE_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANE_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${ORVANE_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${ORVANE_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CTest runs the Windows test programs under Wine, in the test run's own prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
