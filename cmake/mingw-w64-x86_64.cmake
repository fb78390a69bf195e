# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads,
# which Qt's std::thread use needs). KESTRUNE_WIN_DEPS is the folder that
# scripts/build-windows-deps.sh fills with static zlib, libcurl, GoogleTest and Qt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT KESTRUNE_WIN_DEPS)
  if(DEFINED ENV{KESTRUNE_WIN_DEPS})
    set(KESTRUNE_WIN_DEPS $ENV{KESTRUNE_WIN_DEPS})
  else()
    set(KESTRUNE_WIN_DEPS $ENV{HOME}/.cache/kestrune-win)
  endif()
endif()
# Try-compile projects get the toolchain file again without the cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTRUNE_WIN_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${KESTRUNE_WIN_DEPS}/prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

list(APPEND CMAKE_PREFIX_PATH ${KESTRUNE_WIN_DEPS}/prefix)
# Qt's build tools (moc, rcc, uic) come from the Linux Qt of the same version.
set(QT_HOST_PATH /usr CACHE PATH "Host Qt for moc, rcc and uic")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
