# ferrowinder-cli.exe leftovers against the real registry of a Wine prefix:
# each registry row judged as planted with reg.exe (harmful, harmless, absent,
# the wrong type); the WMI rows "could not be read" where Windows 8 and later
# would have them (Wine has no ROOT\StandardCimv2 classes for them) and "not on
# this system" on Windows 7; --fix then --undo gives the planted values back
# as reg.exe reads them; a tampered Leftovers.reg is refused; both changes are
# in the log. Run by ctest with
#   -DCLI=<ferrowinder-cli.exe> -DEMULATOR=<wine> -DWORK=<scratch folder>
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/ThrowawayPrefix.cmake)
if(NOT FERRO_IN_THROWAWAY_PREFIX)
  return()
endif()

# A program folder of its own, so that its Backup folder is this check's
# alone, and a name of its own, so that the Windows version Wine reports to it
# (AppDefaults) is told no other check, even when this one stops half-way.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(exe ferrowinder-cli-leftovers.exe)
file(COPY_FILE "${CLI}" "${WORK}/${exe}")
set(cli_exe "${WORK}/${exe}")

set(tcpip "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters")
set(multimedia "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile")
set(app_defaults "HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\${exe}")

function(wine_reg)
  execute_process(COMMAND ${EMULATOR} reg ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
  set(reg_out "${out}" PARENT_SCOPE)
  set(reg_code "${code}" PARENT_SCOPE)
endfunction()

# Runs the tool; fails unless it exits with `expected`; standard output in <name>.
function(cli expected name)
  execute_process(COMMAND ${EMULATOR} "${cli_exe}" ${ARGN} WORKING_DIRECTORY "${WORK}"
                  OUTPUT_FILE "${WORK}/${name}.out" ERROR_FILE "${WORK}/${name}.err" RESULT_VARIABLE code)
  file(READ "${WORK}/${name}.out" out)
  file(READ "${WORK}/${name}.err" err)
  if(NOT code STREQUAL "${expected}")
    message(FATAL_ERROR "ferrowinder-cli ${ARGN}: exit ${code}, expected ${expected}\nstdout:\n${out}\nstderr:\n${err}")
  endif()
  set(${name} "${out}" PARENT_SCOPE)
  set(${name}_err "${err}" PARENT_SCOPE)
endfunction()

function(expect_match what text regex)
  if(NOT text MATCHES "${regex}")
    message(FATAL_ERROR "${what}: no match for ${regex} in:\n${text}")
  endif()
endfunction()

function(expect_text what text part)
  string(FIND "${text}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: no \"${part}\" in:\n${text}")
  endif()
endfunction()

# Every value the rows read, as reg.exe shows it ("" when absent).
set(rows "${tcpip}|Tcp1323Opts" "${tcpip}|DisableTaskOffload" "${tcpip}|EnablePMTUDiscovery"
         "${multimedia}|NetworkThrottlingIndex")
function(clear_rows)
  foreach(row IN LISTS rows)
    string(REPLACE "|" ";" parts "${row}")
    list(GET parts 0 key)
    list(GET parts 1 name)
    wine_reg(delete "${key}" /v ${name} /f)
  endforeach()
endfunction()
function(read_rows out_var)
  set(all "")
  foreach(row IN LISTS rows)
    string(REPLACE "|" ";" parts "${row}")
    list(GET parts 0 key)
    list(GET parts 1 name)
    wine_reg(query "${key}" /v ${name})
    string(REGEX MATCH "${name} +REG_[A-Z_]+ +[^\r\n]*" line "${reg_out}")
    string(APPEND all "${name}=[${line}]\n")
  endforeach()
  set(${out_var} "${all}" PARENT_SCOPE)
endfunction()

wine_reg(add "${app_defaults}" /v Version /d win10 /f)
clear_rows()
wine_reg(delete "${tcpip}" /v SearchList /f)  # what a refused backup must not write

# --- each registry row as planted; the WMI rows cannot be read under Wine --
cli(3 clean leftovers)
expect_match("autotuning on Windows 10 under Wine" "${clean}"
             "Receive-window autotuning level: could not be read\n  now: could not be read\n")
expect_match("what could not be read is said on stderr" "${clean_err}"
             "Receive-window autotuning level could not be read: WMI ROOT.StandardCimv2.MSFT_NetTCPSetting: ")

# key | name | reg.exe type | data | expected exit | the row's TSV verdict and now
set(cases
  "${tcpip}|Tcp1323Opts|REG_DWORD|0|1|harmful\tdword:00000000 (0)"
  "${tcpip}|Tcp1323Opts|REG_DWORD|2|1|harmful\tdword:00000002 (2)"
  "${tcpip}|Tcp1323Opts|REG_DWORD|3|3|harmless\tdword:00000003 (3)"
  "${tcpip}|Tcp1323Opts|REG_SZ|0|3|not documented\t\"0\""
  "${tcpip}|DisableTaskOffload|REG_DWORD|1|1|harmful\tdword:00000001 (1)"
  "${tcpip}|EnablePMTUDiscovery|REG_DWORD|0|1|harmful\tdword:00000000 (0)"
  "${multimedia}|NetworkThrottlingIndex|REG_DWORD|5|1|harmful\tdword:00000005 (5)"
  "${multimedia}|NetworkThrottlingIndex|REG_DWORD|0xffffffff|3|harmless\tdword:ffffffff (4294967295)")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 key)
  list(GET parts 1 name)
  list(GET parts 2 type)
  list(GET parts 3 data)
  list(GET parts 4 code)
  list(GET parts 5 shown)
  wine_reg(add "${key}" /v ${name} /t ${type} /d ${data} /f)
  cli(${code} report leftovers --format tsv)
  expect_text("${name} ${type} ${data}" "${report}" "\n${name}\t${shown}\t")
  wine_reg(delete "${key}" /v ${name} /f)
endforeach()
cli(3 absent leftovers --format tsv)
expect_text("absent" "${absent}" "\nTcp1323Opts\tharmless\tabsent\t")

# --- --fix, then --undo: the planted values back as reg.exe reads them ----
wine_reg(add "${tcpip}" /v Tcp1323Opts /t REG_DWORD /d 2 /f)
wine_reg(add "${tcpip}" /v DisableTaskOffload /t REG_DWORD /d 1 /f)
wine_reg(add "${multimedia}" /v NetworkThrottlingIndex /t REG_DWORD /d 4 /f)
read_rows(planted)
cli(0 fixed leftovers --fix)
expect_match("--fix backs up first" "${fixed}" "Backed up the harmful values to .*Backup.Leftovers\\.reg")
read_rows(defaults)
expect_match("--fix puts the defaults back" "${defaults}"
             "Tcp1323Opts=\\[\\]\nDisableTaskOffload=\\[\\]\nEnablePMTUDiscovery=\\[\\]\nNetworkThrottlingIndex=\\[NetworkThrottlingIndex +REG_DWORD +0xa\\]\n")
cli(0 undone leftovers --undo)
read_rows(restored)
if(NOT restored STREQUAL planted)
  message(FATAL_ERROR "--undo did not give the planted values back:\n${restored}\nplanted:\n${planted}")
endif()
cli(0 logged log)
expect_match("the log" "${logged}" "\tleftovers --fix\tHKEY_LOCAL_MACHINE.SYSTEM.CurrentControlSet.Services.Tcpip.Parameters.Tcp1323Opts\tdword:00000002\tabsent\n")
expect_match("the log" "${logged}" "\tleftovers --undo\tHKEY_LOCAL_MACHINE.SYSTEM.CurrentControlSet.Services.Tcpip.Parameters.Tcp1323Opts\tabsent\tdword:00000002\n")

# --- a tampered Leftovers.reg is refused, nothing written ------------------
file(WRITE "${WORK}/Backup/Leftovers.reg"
     "Windows Registry Editor Version 5.00\r\n\r\n[${tcpip}]\r\n\"Tcp1323Opts\"=dword:00000000\r\n\"SearchList\"=\"evil.example\"\r\n")
cli(3 tampered leftovers --undo)
expect_match("a tampered backup" "${tampered_err}" "sets something the fix never changes")
read_rows(after_tamper)
if(NOT after_tamper STREQUAL planted)
  message(FATAL_ERROR "a refused backup changed values:\n${after_tamper}")
endif()
wine_reg(query "${tcpip}" /v SearchList)
if(reg_out MATCHES "evil")
  message(FATAL_ERROR "a refused backup wrote SearchList")
endif()

# --- Windows 7 has no such WMI classes: not on this system -----------------
clear_rows()
wine_reg(add "${app_defaults}" /v Version /d win7 /f)
cli(0 seven leftovers)
expect_match("autotuning on Windows 7" "${seven}" "Receive-window autotuning level: not on this system\n")
wine_reg(delete "${app_defaults}" /f)
