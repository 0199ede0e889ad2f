# Checks of the Windows programs as files and as processes, which need no
# GoogleTest: the 32-bit build of the shipped programs (win32 threads, no
# std::mutex) runs these alone. Included by tests/windows/CMakeLists.txt, or
# by tests/CMakeLists.txt where GoogleTest cannot be built.

# Each shipped program starts on the oldest Windows its build claims (98 for
# the 32-bit build, 7 for the 64-bit one), and no DLL planted beside it is
# loaded: it imports Windows' KnownDLLs only, and from them only what that
# Windows exports. No Wine needed: the import table is read from the file.
include(${PROJECT_SOURCE_DIR}/cmake/WindowsTarget.cmake)
if(FERRO_SHIPPED_PROGRAMS)
  foreach(_program ferrowinder ferrowinder-cli)
    add_test(NAME Program.ImportsWhatWindows${FERRO_OLDEST_WINDOWS}Exports.${_program}
             COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${_program}> -DOBJDUMP=${CMAKE_OBJDUMP}
                     -DOLDEST=${FERRO_OLDEST_WINDOWS} -DEXPORTS=${CMAKE_CURRENT_LIST_DIR}/../win32/exports
                     -P ${CMAKE_CURRENT_LIST_DIR}/../win32/ImportsCheck.cmake)
  endforeach()
  # Both keep ASLR (64-bit on x64), no-execute data and Terminal Server
  # awareness, and start in their own subsystem (windows, console).
  foreach(_program IN ITEMS ferrowinder:2 ferrowinder-cli:3)
    string(REPLACE ":" ";" _program ${_program})
    list(GET _program 0 _target)
    list(GET _program 1 _subsystem)
    add_test(NAME Program.HeaderHardened.${_target}
             COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${_target}> -DOBJDUMP=${CMAKE_OBJDUMP}
                     -DSUBSYSTEM=${_subsystem} -P ${CMAKE_CURRENT_LIST_DIR}/../win32/HeaderCheck.cmake)
  endforeach()
endif()

# The end-to-end check boosts the registry it runs against, so it runs only
# in the throwaway Wine prefix that scripts/test-windows makes (it names that
# prefix in FERRO_THROWAWAY_WINEPREFIX); anywhere else it is skipped.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME CliEndToEnd.ApplyShowExportImport
           COMMAND ${CMAKE_COMMAND}
                   "-DCLI=$<TARGET_FILE:ferrowinder-cli>"
                   "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                   "-DWORK=${CMAKE_BINARY_DIR}/tests/windows/e2e"
                   -P ${CMAKE_CURRENT_LIST_DIR}/CliEndToEnd.cmake)
  set_tests_properties(CliEndToEnd.ApplyShowExportImport PROPERTIES
                       RESOURCE_LOCK registry SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]" TIMEOUT 120)
endif()

# The Group Policy scripts of deploy/gpo under Wine's cmd (in the same
# throwaway prefix only, for the same reason).
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME DeployRecipes.GroupPolicyScriptsTwiceUnderWineCmd
           COMMAND ${CMAKE_COMMAND}
                   "-DCLI=$<TARGET_FILE:ferrowinder-cli>"
                   "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                   "-DGPO=${PROJECT_SOURCE_DIR}/deploy/gpo"
                   -P ${CMAKE_CURRENT_LIST_DIR}/GroupPolicyScripts.cmake)
  set_tests_properties(DeployRecipes.GroupPolicyScriptsTwiceUnderWineCmd PROPERTIES
                       RESOURCE_LOCK registry SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]" TIMEOUT 300)
endif()

# ferrowinder-cli.exe leftovers against the real registry (the same prefix only).
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME CliEndToEnd.Leftovers
           COMMAND ${CMAKE_COMMAND}
                   "-DCLI=$<TARGET_FILE:ferrowinder-cli>"
                   "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                   "-DWORK=${CMAKE_BINARY_DIR}/tests/windows/leftovers"
                   -P ${CMAKE_CURRENT_LIST_DIR}/LeftoversEndToEnd.cmake)
  set_tests_properties(CliEndToEnd.Leftovers PROPERTIES
                       RESOURCE_LOCK registry SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]" TIMEOUT 300)
endif()
