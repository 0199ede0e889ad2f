# Fails unless every DLL that PROGRAM imports is one of Windows' KnownDLLs.
# Run by ctest with -DPROGRAM=<exe> -DOBJDUMP=<x86_64-w64-mingw32-objdump>.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/PeDump.cmake)
ferro_pe_dump(${PROGRAM} ${OBJDUMP} dump)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()
# Windows loads its KnownDLLs from its own folder only; any other DLL imported
# by name is looked for beside the program first, where a planted one would
# run in the elevated process. comctl32 comes through the manifest (side by side).
set(windows_own advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 user32)
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: (.+)\\.dll$" "\\1" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST windows_own)
    message(FATAL_ERROR "${PROGRAM} imports ${line}, which is not one of Windows' KnownDLLs")
  endif()
  message("${line}")
endforeach()
