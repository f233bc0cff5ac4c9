# Shared by the MinGW toolchain files. The posix thread model gives std::thread
# and std::mutex; Debian installs it under the -posix names.
set(CMAKE_C_COMPILER ${ROVELOG_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ROVELOG_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ROVELOG_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ROVELOG_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine: the 64-bit build's under wine64, the 32-bit build's
# (the product) under the 32-bit loader, in the same kind of prefix.
if(ROVELOG_MINGW_TRIPLE STREQUAL "x86_64-w64-mingw32")
  set(ROVELOG_WINE /usr/lib/wine/wine64)
else()
  set(ROVELOG_WINE /usr/lib/wine/wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
set(ZLIB_USE_STATIC_LIBS ON)
