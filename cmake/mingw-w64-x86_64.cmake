# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (POSIX threads, so that
# C++ threads and Qt's QThread share one model). Used for Qt itself and for the program
# (scripts/windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)
set(CMAKE_AR ${mingw_triple}-gcc-ar-posix)
set(CMAKE_RANLIB ${mingw_triple}-gcc-ranlib-posix)

# Libraries and headers come from the MinGW tree and the Windows Qt; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Tests and tools run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
