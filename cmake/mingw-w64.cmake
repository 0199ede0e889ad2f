# Cross build for 64-bit Windows (7 to 11) with MinGW-w64; the tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_ferro_triple x86_64-w64-mingw32)
# The -posix compilers: the default (win32-thread) ones have no std::thread or
# std::mutex, which GoogleTest needs.
set(_ferro_threads posix)
include(${CMAKE_CURRENT_LIST_DIR}/MinGwCommon.cmake)
