# Cross build for 32-bit Windows with Debian's MinGW-w64 toolchain (the posix-thread variant,
# so std::thread and std::mutex work; -static links winpthread in, and the program needs no DLL
# besides the system's own).
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake
#
# QUAVIK_MINGW_TRIPLET (cache or environment) picks another MinGW-w64 target, for instance
# x86_64-w64-mingw32 for a 64-bit build of the same sources.
set(CMAKE_SYSTEM_NAME Windows)

if(NOT QUAVIK_MINGW_TRIPLET)
  if(DEFINED ENV{QUAVIK_MINGW_TRIPLET})
    set(QUAVIK_MINGW_TRIPLET "$ENV{QUAVIK_MINGW_TRIPLET}")
  else()
    set(QUAVIK_MINGW_TRIPLET i686-w64-mingw32)
  endif()
endif()
set(QUAVIK_MINGW_TRIPLET "${QUAVIK_MINGW_TRIPLET}" CACHE STRING "MinGW-w64 target triplet")
# try_compile projects read this file again; hand them the triplet too.
set(ENV{QUAVIK_MINGW_TRIPLET} "${QUAVIK_MINGW_TRIPLET}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUAVIK_MINGW_TRIPLET)

if(QUAVIK_MINGW_TRIPLET MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()

set(CMAKE_C_COMPILER ${QUAVIK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUAVIK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUAVIK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUAVIK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The system backend of this target.
set(QUAVIK_SYSTEM_BACKEND win32 CACHE STRING "System backend (posix or win32)")

# A self-contained executable: the C and C++ runtimes and winpthread linked in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
