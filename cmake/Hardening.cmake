# Compiler and linker hardening of every program, on both systems (the
# MinGW-w64 builds take it from here too). Each flag's cost is in the README.
if(FERRO_BUILD_FUZZ)
  # The fuzzer's sanitizers check memory themselves; FORTIFY would hide faults from them.
  return()
endif()

# Canaries in each function with a local array or a local whose address is taken.
add_compile_options(-fstack-protector-strong)
# Checked copies and formats where the size is known at compile time. It needs
# optimisation (glibc warns without it, and warnings are errors in Debug CI),
# so Debug builds go without: they are for tests and sanitizers, never shipped.
# (Not for the resource compiler, which optimises nothing.)
add_compile_definitions($<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<NOT:$<CONFIG:Debug>>>:_FORTIFY_SOURCE=2>)

if(WIN32)
  # The stack protector at the link too: MinGW-w64 then links its checks
  # (libssp) statically. --tsaware: Terminal Server gives the program its own
  # Windows folder and INI files instead of mapping them for it. DYNAMIC_BASE,
  # HIGH_ENTROPY_VA (x64) and NX_COMPAT are binutils' defaults.
  add_link_options(-fstack-protector-strong -Wl,--tsaware)
else()
  # Position-independent programs (ASLR for the program itself), and the
  # relocations done at the start with the GOT made read-only (full RELRO).
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
  add_link_options(LINKER:-z,relro,-z,now)
endif()
