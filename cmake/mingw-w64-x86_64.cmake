# Cross-building for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads flavour, which
# std::thread needs); programs built here run under Wine (`wine64`), which CTest uses to run
# the unit tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_dkscr_mingw x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${_dkscr_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_dkscr_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_dkscr_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_dkscr_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Qt for Windows, built by scripts/build-qt-windows.sh, is found in its prefix; its moc, rcc
# and uic are the host Qt's, which it names itself.
if(DKSCR_QT_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${DKSCR_QT_PREFIX})
endif()
# zlib (Debian's libz-mingw-w64-dev), which the tests' ZIP writer uses, linked in like the
# rest: the test programs need no zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# Every program runs on a bare Windows: the C++ runtime and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(DKSCR_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT DKSCR_WINE)
  find_program(DKSCR_WINE NAMES wine64 wine)
endif()
if(DKSCR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DKSCR_WINE})
endif()
