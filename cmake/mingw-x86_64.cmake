# Cross-compiling the 64-bit Windows module (for 64-bit Far 3) with Debian's x86-64 MinGW-w64
# toolchain.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Tests of the Windows build run under Wine's 64-bit loader, each in the build folder's own
# 64-bit prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine64-run.sh)
