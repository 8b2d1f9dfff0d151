# Cross-compiles the 64-bit Windows program on Linux with MinGW-w64
# (Debian: g++-mingw-w64-x86-64). The program starts no threads, so the
# win32 thread model is enough; the posix one serves as well.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALLYRA_MINGW_TRIPLET x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER
  NAMES ${TALLYRA_MINGW_TRIPLET}-g++-win32 ${TALLYRA_MINGW_TRIPLET}-g++-posix
        ${TALLYRA_MINGW_TRIPLET}-g++
  REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TALLYRA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLYRA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained tallyra.exe: no libstdc++, libgcc or winpthread DLLs
# to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
