# The Group Policy scripts of deploy/gpo as shipped, run twice each under
# Wine's cmd against ferrowinder-cli.exe: the start-up script copies the
# program from its own folder and applies the machine part, the logon script
# the user part; the second run writes nothing; a failed copy is noticed and
# logged. Run by ctest with
#   -DCLI=<ferrowinder-cli.exe> -DEMULATOR=<wine> -DGPO=<deploy/gpo>
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/ThrowawayPrefix.cmake)
if(NOT FERRO_IN_THROWAWAY_PREFIX)
  return()
endif()

set(drive "$ENV{WINEPREFIX}/drive_c")
set(share "${drive}/gpo-share")
set(installed "${drive}/Program Files/FerroWinder")
set(machine_log "${drive}/ProgramData/FerroWinder/boost.log")
file(REMOVE_RECURSE "${share}" "${installed}" "${drive}/ProgramData/FerroWinder")
file(GLOB user_logs "${drive}/users/*/AppData/Local/FerroWinder")
if(user_logs)
  file(REMOVE_RECURSE ${user_logs})
endif()
file(COPY "${GPO}/boost.cmd" "${GPO}/boost-user.cmd" "${CLI}" DESTINATION "${share}")

# Runs a command under Wine (output to a file: a pipe can hang there).
function(wine expected)
  execute_process(COMMAND ${EMULATOR} ${ARGN} OUTPUT_FILE "${share}/out.txt" ERROR_FILE "${share}/err.txt"
                  RESULT_VARIABLE code)
  if(NOT code STREQUAL "${expected}")
    file(READ "${share}/out.txt" out)
    file(READ "${share}/err.txt" err)
    message(FATAL_ERROR "${ARGN}: exit ${code}, expected ${expected}\n${out}${err}")
  endif()
endfunction()

# Runs a script of the share with cmd; shows what it logged this time.
function(run_script script log expected_last_line)
  set(before "")
  if(EXISTS "${log}")
    file(READ "${log}" before)
  endif()
  wine(0 cmd /c "C:\\gpo-share\\${script}")
  file(READ "${log}" after)
  string(LENGTH "${before}" skip)
  string(SUBSTRING "${after}" ${skip} -1 this_run)
  message("--- wine cmd /c C:\\gpo-share\\${script}: exit 0, it logged:\n${this_run}")
  string(REGEX REPLACE "\r?\n$" "" trimmed "${this_run}")
  string(REGEX REPLACE ".*\n" "" last "${trimmed}")
  if(NOT last MATCHES "${expected_last_line}")
    message(FATAL_ERROR "${script}: the last line logged is not '${expected_last_line}'")
  endif()
  set(this_run "${this_run}" PARENT_SCOPE)
endfunction()

function(registry_state out_var)
  wine(0 "${CLI}" show)
  file(READ "${share}/out.txt" state)
  set(${out_var} "${state}" PARENT_SCOPE)
endfunction()

# The PC holds neither part at 1024 Kbps to begin with.
set(internet "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings")
wine(0 "${CLI}" apply --speed 57 --no-backup)
foreach(name MaxConnectionsPer1_0Server MaxConnectionsPerServer)
  wine(0 reg delete "${internet}" /v ${name} /f)
endforeach()

# --- the computer start-up script: the machine part, once ------------------
run_script(boost.cmd "${machine_log}" "done: the machine part was applied$")
# From 57 to 1024 Kbps the three window sizes change.
if(NOT this_run MATCHES "16 of 16 steps wrote a value, 3 values changed")
  message(FATAL_ERROR "the first run did not change the three values that differ")
endif()
registry_state(after_first)
wine(0 "${CLI}" check --speed 1024 --part machine)
wine(1 "${CLI}" check --speed 1024 --part user)  # each user's part is the logon script's
run_script(boost.cmd "${machine_log}" "done: the PC already holds the machine part, nothing was written$")
registry_state(after_second)
if(NOT after_second STREQUAL after_first OR this_run MATCHES "Applied")
  message(FATAL_ERROR "the second run changed the registry:\n${after_first}\n---\n${after_second}")
endif()

# The network is not up at start-up: the copy fails, is logged, and the copy
# already on the PC is used.
file(REMOVE "${share}/ferrowinder-cli.exe")
run_script(boost.cmd "${machine_log}" "nothing was written$")
if(NOT this_run MATCHES "could not be copied from C:\\\\gpo-share\\\\: using the copy from an earlier start")
  message(FATAL_ERROR "a failed copy was not logged")
endif()

# --- the user logon script: the user part, once ----------------------------
file(GLOB user_log "${drive}/users/*/AppData/Local")
set(user_log "${user_log}/FerroWinder/boost-user.log")
run_script(boost-user.cmd "${user_log}" "done: the user part was applied$")
wine(0 "${CLI}" check --speed 1024)
registry_state(after_first)
run_script(boost-user.cmd "${user_log}" "done: the user part is in place, nothing was written$")
registry_state(after_second)
if(NOT after_second STREQUAL after_first)
  message(FATAL_ERROR "the logon script's second run changed the registry")
endif()
