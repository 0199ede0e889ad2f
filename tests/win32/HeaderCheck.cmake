# Fails unless PROGRAM's PE header carries the hardening the build promises and
# the subsystem it is meant to start in. Run by ctest with -DPROGRAM=<exe>
# -DOBJDUMP=<objdump> -DSUBSYSTEM=<2 for windows, 3 for the console>.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/PeDump.cmake)
ferro_pe_dump(${PROGRAM} ${OBJDUMP} dump)

# A field of the header, as objdump prints it (eight hex digits), is the one wanted.
function(expect_field name wanted)
  if(NOT dump MATCHES "\n${name}[\t ]+([0-9a-fA-F]+)")
    message(FATAL_ERROR "${PROGRAM}: no ${name} in its header")
  endif()
  if(NOT CMAKE_MATCH_1 STREQUAL wanted)
    message(FATAL_ERROR "${PROGRAM}: ${name} ${CMAKE_MATCH_1}, wanted ${wanted}")
  endif()
  message("${PROGRAM}: ${name} ${wanted}")
endfunction()

# DYNAMIC_BASE 0x40 and NX_COMPAT 0x100 (ASLR, no code run from data),
# TERMINAL_SERVER_AWARE 0x8000 (--tsaware), and on x64 HIGH_ENTROPY_VA 0x20
# (64-bit ASLR), which PE32 has no room for; nothing else.
if(dump MATCHES "\nMagic[\t ]+020b")
  expect_field(DllCharacteristics 00008160)
elseif(dump MATCHES "\nMagic[\t ]+010b")
  expect_field(DllCharacteristics 00008140)
else()
  message(FATAL_ERROR "${PROGRAM}: neither PE32 nor PE32+")
endif()
expect_field(Subsystem 0000000${SUBSYSTEM})
