# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which has
# std::thread). The libraries built for Windows (Qt, hidapi, GoogleTest) live under the folder
# scripts/setup-windows.sh fills, given as TAVRIN_WINDOWS_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
if(TAVRIN_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${TAVRIN_WINDOWS_PREFIX})
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TAVRIN_WINDOWS_PREFIX)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The tests run where the programs would: under Wine.
find_program(TAVRIN_WINE wine)
if(TAVRIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVRIN_WINE})
endif()
