# Cross build for 32-bit Windows (98, Me, 2000, XP, and 32- or 64-bit 7 to 11)
# with MinGW-w64; the tests run under 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_ferro_triple i686-w64-mingw32)
# The shipped programs take the win32 thread model: the posix one brings
# winpthreads, which imports GetTickCount64 (Vista and later) even where
# nothing starts a thread. GoogleTest needs std::mutex, which GCC 12 has only
# with posix threads: the windows32-tests preset sets FERRO_MINGW_THREADS=posix.
if(NOT FERRO_MINGW_THREADS)
  set(FERRO_MINGW_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FERRO_MINGW_THREADS)
set(_ferro_threads ${FERRO_MINGW_THREADS})
include(${CMAKE_CURRENT_LIST_DIR}/MinGwCommon.cmake)
