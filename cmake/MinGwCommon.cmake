# What both MinGW-w64 toolchains share; each sets _ferro_triple and
# _ferro_threads (posix or win32) and includes this.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_ferro_triple}-gcc-${_ferro_threads})
set(CMAKE_CXX_COMPILER ${_ferro_triple}-g++-${_ferro_threads})
set(CMAKE_RC_COMPILER ${_ferro_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_ferro_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static: a program that misses a MinGW runtime DLL exits silently under Wine
# (and on a user's machine) with status 53.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test discovery and ctest start the programs through Wine.
find_program(FERRO_WINE NAMES wine wine64)
if(FERRO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${FERRO_WINE})
endif()
