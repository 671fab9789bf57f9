# Cross-build of the same sources for 64-bit Windows. Only for running the Windows tests on a
# machine whose kernel cannot execute 32-bit code (so 32-bit Wine cannot start); the product is
# the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVANE_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
