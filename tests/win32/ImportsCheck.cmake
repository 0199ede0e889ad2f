# Fails unless PROGRAM imports only Windows' KnownDLLs, and only functions
# that the oldest Windows its build claims (OLDEST: 98 or 7) exports.
# Run by ctest with -DPROGRAM=<exe> -DOBJDUMP=<objdump> -DOLDEST=<98|7>
# -DEXPORTS=<tests/win32/exports>; see exports/README.md for the lists.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/PeDump.cmake)
ferro_pe_dump(${PROGRAM} ${OBJDUMP} dump)
if(NOT OLDEST MATCHES "^(98|7)$")
  message(FATAL_ERROR "OLDEST is 98 or 7, not '${OLDEST}'")
endif()

# The imports as "dll function" pairs, from objdump's import table.
set(imports "")
set(dll "")
string(REPLACE "\n" ";" lines "${dump}")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: (.+)\\.[dD][lL][lL]$")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)$")
    list(APPEND imports "${dll} ${CMAKE_MATCH_1}")
  elseif(line MATCHES "^$")
    set(dll "")
  endif()
endforeach()
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${PROGRAM}")
endif()

# Windows loads its KnownDLLs from its own folder only; any other DLL imported
# by name is looked for beside the program first, where a planted one would
# run in the elevated process. comctl32 comes through the manifest (side by side).
set(windows_own advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 user32)

# Whether the symbols under a section comment of the mingw-w64 lists are
# exported by OLDEST. The comments name the versions in words ("added in
# Windows 98 and also since Windows 2000", "since Windows NT 4.0, but not
# available in Win9x", "added in Windows Vista").
function(section_available header oldest out)
  if(oldest STREQUAL "98")
    # 98 has what all Win9x, or 95 or 98 First Edition, have (msvcrt: what
    # Visual C++ 4.2 to 5.0 SP1 had, which 98 First Edition ships).
    if(header MATCHES "all Windows versions|Win9x|Windows 9[58][ ,]|Windows 98 First|Visual C\\+\\+ 4\\.2"
       AND NOT header MATCHES "not available in (Win32s and )?Win9x|not in Win9x|only in Win32s|only in Windows NT|Second Edition|Windows ME|X64|not available in any version of msvcrt")
      set(${out} TRUE PARENT_SCOPE)
    else()
      set(${out} FALSE PARENT_SCOPE)
    endif()
  else()
    # 7 has everything of the NT family up to 7, not what only 9x or Win32s had.
    if(header MATCHES "only in Win32s|only in Windows NT 3|not available in Win32s and WinNT|Windows 8|Windows 10|Windows 11|not available in any version of msvcrt|i386-chpe32|ARM")
      set(${out} FALSE PARENT_SCOPE)
    else()
      set(${out} TRUE PARENT_SCOPE)
    endif()
  endif()
endfunction()

# The symbols of one list that OLDEST exports, into <dll>_exported. A line
# names a symbol ("GetVersion@0", "_mbcasemap DATA"), the DLL's own name
# after "==" ("__msvcrt_getmainargs == __getmainargs"), a symbol for some
# processors only ("F_I386(_CIacos)"), or in a comment one that the DLL
# exports but mingw-w64's newest runtime replaces ("; _onexit replaced by emu").
function(read_def_list dll file oldest)
  file(STRINGS ${file} def_lines)
  set(available TRUE)  # what precedes the first section: the first version's
  set(exported "")
  foreach(line IN LISTS def_lines)
    if(line MATCHES "^; *(This is list of|These symbols|List of|All symbols defined below|There are no new)")
      section_available("${line}" ${oldest} available)
      continue()
    elseif(NOT available)
      continue()
    endif()
    set(macro "")
    if(line MATCHES "^; ([A-Za-z_][A-Za-z0-9_]*) replaced by emu")
      set(entry ${CMAKE_MATCH_1})
    elseif(line MATCHES "^(F_[A-Z0-9_]+|F64)\\(([^)]+)\\)")
      set(macro ${CMAKE_MATCH_1})
      set(entry "${CMAKE_MATCH_2}")
    elseif(line MATCHES "^[A-Za-z_][^;]*")
      set(entry "${CMAKE_MATCH_0}")
    else()
      continue()
    endif()
    if(entry MATCHES "==[ ]*([A-Za-z_][A-Za-z0-9_]*)")
      set(entry ${CMAKE_MATCH_1})
    endif()
    string(REGEX REPLACE "[@ ].*$" "" entry "${entry}")
    if(macro AND NOT ((oldest STREQUAL "98" AND macro MATCHES "^F_(I386|X86_ANY|NON_X64|NON_ARM64)$") OR
                      (oldest STREQUAL "7" AND macro MATCHES "^(F_(X64|X86_ANY|NON_I386|NON_ARM64)|F64)$")))
      continue()
    endif()
    list(APPEND exported ${entry})
  endforeach()
  set(${dll}_exported ${exported} PARENT_SCOPE)
endfunction()

read_def_list(kernel32 ${EXPORTS}/kernel32.def ${OLDEST})
read_def_list(advapi32 ${EXPORTS}/advapi32.def ${OLDEST})
read_def_list(msvcrt ${EXPORTS}/msvcrt.def.in ${OLDEST})
if(OLDEST STREQUAL "7")
  # The lists are those of the 32-bit DLLs: the 64-bit kernel32 adds the
  # unwinding functions that 64-bit code needs (and has no 32-bit twin).
  list(APPEND kernel32_exported RtlAddFunctionTable RtlCaptureContext RtlLookupFunctionEntry RtlUnwindEx
              RtlVirtualUnwind __C_specific_handler)
endif()

# user32, gdi32 and comctl32: our own list, "dll function oldest source".
set(ui_oldest_98 95 98)
file(STRINGS ${EXPORTS}/ui-exports.txt ui_lines REGEX "^[a-z0-9]+ ")
foreach(line IN LISTS ui_lines)
  string(REPLACE " " ";" fields "${line}")
  list(GET fields 0 ui_dll)
  list(GET fields 1 ui_function)
  list(GET fields 2 ui_since)
  list(LENGTH fields count)
  if(count LESS 4)
    message(FATAL_ERROR "ui-exports.txt: '${line}' names no source")
  endif()
  # Everything there is in 98 at the latest (or in 64-bit Windows), so in 7 too.
  if(OLDEST STREQUAL "7" OR ui_since IN_LIST ui_oldest_98)
    list(APPEND ${ui_dll}_exported ${ui_function})
  endif()
endforeach()

set(failures "")
set(seen_dlls "")
foreach(import IN LISTS imports)
  string(REPLACE " " ";" pair "${import}")
  list(GET pair 0 dll)
  list(GET pair 1 function)
  string(REGEX REPLACE "@[0-9]+$" "" function "${function}")
  if(NOT dll IN_LIST windows_own)
    list(APPEND failures "${dll}.dll is not one of Windows' KnownDLLs")
  elseif(NOT DEFINED ${dll}_exported)
    list(APPEND failures "${dll}.dll!${function}: no list says which Windows exports it")
  elseif(NOT function IN_LIST ${dll}_exported)
    list(APPEND failures "${dll}.dll!${function} is not exported by Windows ${OLDEST}")
  endif()
  list(APPEND seen_dlls ${dll})
endforeach()
list(REMOVE_DUPLICATES seen_dlls)
list(LENGTH imports count)
if(failures)
  list(REMOVE_DUPLICATES failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "${PROGRAM}, which claims Windows ${OLDEST}:\n  ${text}")
endif()
message("${PROGRAM}: ${count} imports from ${seen_dlls}, all exported by Windows ${OLDEST}")
