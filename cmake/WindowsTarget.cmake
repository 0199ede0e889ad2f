# A build whose programs are shipped: the import check holds them to the
# oldest Windows their build claims. The 32-bit GoogleTest suites build with
# another thread model (see cmake/mingw-w64-i686.cmake), whose programs are
# not the ones shipped.
option(FERRO_SHIPPED_PROGRAMS "The programs of this build are the ones shipped (Windows)" ON)

# What each Windows build is for: the 64-bit one for Windows 7 to 11, the
# 32-bit one (i686) also for 98, Me, 2000 and XP. The import check of
# tests/win32 holds the shipped programs to the oldest of them.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(FERRO_PACKAGE_SYSTEM win32)
  set(FERRO_OLDEST_WINDOWS 98)
  # For README.txt.
  set(FERRO_README_BITS 32-bit)
  set(FERRO_README_SYSTEMS "Windows 98, Me, 2000 and XP, and on 32-bit and\n64-bit Windows 7 to 11")
  file(READ ${PROJECT_SOURCE_DIR}/resources/README-windows32.txt FERRO_README_OLDER)
else()
  set(FERRO_PACKAGE_SYSTEM win64)
  set(FERRO_OLDEST_WINDOWS 7)
  set(FERRO_README_BITS 64-bit)
  set(FERRO_README_SYSTEMS "Windows 7 to 11")
  set(FERRO_README_OLDER "")
endif()

# A shipped program: stripped, without the library code it never calls
# (Release builds are for size: see the top-level CMakeLists.txt). The 32-bit
# one is marked for subsystem and OS version 4.0, whatever the linker's
# default: Windows 95, 98 and Me refuse a program marked for a newer one.
function(ferro_windows_program target)
  target_link_options(${target} PRIVATE -s -Wl,--gc-sections)
  if(FERRO_PACKAGE_SYSTEM STREQUAL win32)
    target_link_options(${target} PRIVATE
      -Wl,--major-subsystem-version,4,--minor-subsystem-version,0
      -Wl,--major-os-version,4,--minor-os-version,0)
  endif()
endfunction()
