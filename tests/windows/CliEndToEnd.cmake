# ferrowinder-cli.exe end to end against the real registry of a Wine prefix:
# apply, then show reads back what the plan wrote and check finds it there;
# import of an exported .reg file brings an earlier state back; plan names
# the Windows version Wine reports; told it runs on 98, the tool backs up and
# restores by the ANSI road and refuses a folder its code page cannot hold.
# Run by ctest with
#   -DCLI=<ferrowinder-cli.exe> -DEMULATOR=<wine> -DWORK=<scratch folder>
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/ThrowawayPrefix.cmake)
if(NOT FERRO_IN_THROWAWAY_PREFIX)
  return()
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Runs the tool; fails the check unless it exits with `expected`. Its
# standard output lands in <WORK>/<name>.out, and in the variables <name>
# (text) and <name>_bytes (hex, every byte as written: file(READ) in text
# mode drops CR).
function(cli expected name)
  execute_process(COMMAND ${EMULATOR} "${CLI}" ${ARGN}
                  WORKING_DIRECTORY "${WORK}"
                  OUTPUT_FILE "${WORK}/${name}.out" ERROR_VARIABLE err RESULT_VARIABLE code)
  file(READ "${WORK}/${name}.out" out)
  file(READ "${WORK}/${name}.out" bytes HEX)
  if(NOT code STREQUAL "${expected}")
    message(FATAL_ERROR "ferrowinder-cli ${ARGN}: exit ${code}, expected ${expected}\n"
                        "stdout:\n${out}\nstderr:\n${err}")
  endif()
  set(${name} "${out}" PARENT_SCOPE)
  set(${name}_bytes "${bytes}" PARENT_SCOPE)
endfunction()

# Reads one value with Windows' own reg.exe, a second reader of the registry
# besides the tool itself.
function(reg_query key name out_var)
  execute_process(COMMAND ${EMULATOR} reg query "${key}" /v "${name}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    set(out "")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

function(expect_same what actual expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what}\n--- got:\n${actual}\n--- expected:\n${expected}")
  endif()
endfunction()

function(expect_match what text regex)
  if(NOT text MATCHES "${regex}")
    message(FATAL_ERROR "${what}: no match for ${regex} in:\n${text}")
  endif()
endfunction()

set(internet "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings")
set(mstcp "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP")

# --- apply, then show reads back exactly what the plan writes --------------
cli(0 applied apply --speed 57)
expect_match("apply at 57 Kbps writes all nineteen steps" "${applied}" "19 of 19 steps wrote a value")

cli(0 unused export --speed 57 -o planned57.reg)
file(READ "${WORK}/planned57.reg" planned57_bytes HEX)
string(FIND "${planned57_bytes}" "0d0a" crlf)
if(crlf EQUAL -1)
  message(FATAL_ERROR "export wrote no CR LF line ends")
endif()
cli(0 shown show)
expect_same("show after apply --speed 57 differs (as bytes) from the plan's own .reg file"
            "${shown_bytes}" "${planned57_bytes}")

# Steps 8 to 10 go under the user's key, as text, and nothing under the machine's.
string(REPLACE "\\" "\\\\" internet_re "${internet}")
expect_match("show lists the Internet Settings values under HKEY_CURRENT_USER" "${shown}"
             "\\[HKEY_CURRENT_USER\\\\${internet_re}\\]\n\"MaxConnectionsPer1_0Server\"=\"dword:00000010\"\n\"MaxConnectionsPerServer\"=\"dword:00000010\"\n")
foreach(name MaxConnectionsPer1_0Server MaxConnectionsPerServer)
  reg_query("HKEY_CURRENT_USER\\${internet}" ${name} user)
  expect_match("reg.exe reads ${name} under HKEY_CURRENT_USER" "${user}" "${name} +REG_SZ +dword:00000010")
  reg_query("HKEY_LOCAL_MACHINE\\${internet}" ${name} machine)
  expect_same("reg.exe finds no ${name} under HKEY_LOCAL_MACHINE" "${machine}" "")
endforeach()
reg_query("${mstcp}" DefaultRcvWindow window)
expect_match("reg.exe reads the window size for 57 Kbps" "${window}" "DefaultRcvWindow +REG_SZ +17520")

# --- check finds what apply wrote, and names what another speed would change
cli(0 checked check --speed 57)
expect_match("check after apply --speed 57" "${checked}" "^The registry holds the plan for 57 Kbps \\(18 values\\)")
cli(1 checked check --speed 56)
string(REPLACE "\\" "\\\\" mstcp_re "${mstcp}")
expect_match("check --speed 56 after apply --speed 57" "${checked}"
             "4 of 17 values differ.*\n${mstcp_re}\\\\DefaultRcvWindow: now \"17520\", wanted \"16616\"\n")

# --- import of an exported file restores that earlier state ----------------
cli(0 unused apply --speed 56)
cli(0 shown56 show)
if(shown56_bytes STREQUAL planned57_bytes)
  message(FATAL_ERROR "apply --speed 56 left the registry as at 57 Kbps; the import below would prove nothing")
endif()
reg_query("${mstcp}" DefaultRcvWindow window)
expect_match("reg.exe reads the window size for 56 Kbps" "${window}" "DefaultRcvWindow +REG_SZ +16616")
cli(1 checked check --speed 57)
expect_match("check --speed 57 after apply --speed 56" "${checked}"
             "\n${mstcp_re}\\\\DefaultRcvWindow: now \"16616\", wanted \"17520\"\n")

cli(0 imported import planned57.reg)
cli(0 restored show)
expect_same("show after importing the 57 Kbps export differs (as bytes) from that export"
            "${restored_bytes}" "${planned57_bytes}")
reg_query("${mstcp}" DefaultRcvWindow window)
expect_match("reg.exe reads the restored window size" "${window}" "DefaultRcvWindow +REG_SZ +17520")
cli(0 checked check --speed 57)

# The Group Policy recipe of the README: reg.exe imports the exported file,
# and check finds the plan in place.
cli(0 unused apply --speed 56)
execute_process(COMMAND ${EMULATOR} reg import planned57.reg WORKING_DIRECTORY "${WORK}"
                OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "reg import planned57.reg: exit ${code}")
endif()
cli(0 checked check --speed 57)

# --- any folder name: the program folder, its backup, export and import ----
# Named in Cyrillic and accented Latin, which no single ANSI code page holds.
set(unicode "${WORK}/Тест Ünï")
file(MAKE_DIRECTORY "${unicode}")
file(COPY "${CLI}" DESTINATION "${unicode}")
get_filename_component(cli_name "${CLI}" NAME)
set(CLI "${unicode}/${cli_name}")
cli(0 applied apply --speed 56)
if(NOT EXISTS "${unicode}/Backup/Backup.reg")
  message(FATAL_ERROR "apply from ${unicode} took no backup there:\n${applied}")
endif()
cli(0 restored restore --yes)
expect_match("restore reads the backup there" "${restored}" "put back from the backup .*Тест Ünï.Backup.Backup\\.reg")
cli(0 checked check --speed 57)
cli(0 unused export --speed 57 -o "Тест Ünï/Ünï.reg")
file(READ "${unicode}/Ünï.reg" unicode_bytes HEX)
expect_same("export -o into that folder" "${unicode_bytes}" "${planned57_bytes}")
cli(0 unused apply --speed 56 --no-backup)
cli(0 imported import "Тест Ünï/Ünï.reg")
expect_match("import names the file as given" "${imported}" "from Тест Ünï/Ünï.reg")
cli(0 checked check --speed 57)

# --- Windows 98: told by Wine that it runs on 98, the tool takes the ANSI ----
# road of 95, 98 and Me (Wine's wide calls still work, so the road shows only
# in what it does), and its plan names the steps 98 reads.
set(app_defaults "HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\ferrowinder-cli.exe")
function(wine_version version)
  if(version)
    execute_process(COMMAND ${EMULATOR} reg add "${app_defaults}" /v Version /d ${version} /f
                    OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE code)
  else()
    execute_process(COMMAND ${EMULATOR} reg delete "${app_defaults}" /f OUTPUT_QUIET ERROR_QUIET)
    set(code 0)
  endif()
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "reg add ${app_defaults} /v Version /d ${version}: ${code}")
  endif()
endfunction()
wine_version(win98)
set(plain98 "${WORK}/plain 98")
set(unicode98 "${WORK}/Тест 98")
file(MAKE_DIRECTORY "${plain98}" "${unicode98}")
file(COPY "${CLI}" DESTINATION "${plain98}")
file(COPY "${CLI}" DESTINATION "${unicode98}")
set(CLI "${plain98}/${cli_name}")
cli(0 planned98 plan --speed 57)
string(REGEX REPLACE "[ \n]+" " " planned98 "${planned98}")
expect_match("plan on Windows 98" "${planned98}"
             "This PC runs Windows 98 SE \\(4\\.10\\.2222\\), under Wine [0-9.]+: Windows 98 and Me read steps 1, 2, 3, 4, 5, 6, 7 and 11 of this plan where it writes them, and the restart applies them\\.")
cli(0 applied98 apply --speed 56)
expect_match("apply on 98 takes the backup beside the tool" "${applied98}" "Backed up the current values to .*plain 98.Backup.Backup\\.reg")
cli(0 restored98 restore --yes)
expect_match("restore on 98 reads that backup" "${restored98}" "put back from the backup .*plain 98.Backup.Backup\\.reg")
# A folder name that the ANSI code page cannot hold: refused, saying why, and
# nothing is made under a name of question marks.
execute_process(COMMAND ${EMULATOR} "${unicode98}/${cli_name}" apply --speed 56 WORKING_DIRECTORY "${WORK}"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
if(code EQUAL 0)
  message(FATAL_ERROR "apply on 98 from ${unicode98} succeeded:\n${out}")
endif()
expect_match("apply on 98 from a folder the code page cannot hold" "${err}"
             "the backup could not be taken: .*code page \\([0-9]+\\) cannot hold")
file(GLOB made LIST_DIRECTORIES true "${unicode98}/*")
expect_same("what apply on 98 made in ${unicode98}" "${made}" "${unicode98}/${cli_name}")
file(GLOB_RECURSE everything LIST_DIRECTORIES true "${WORK}/*")
string(FIND "${everything}" "?" question)
expect_same("a name with a question mark under ${WORK}" "${question}" "-1")
wine_version("")
set(CLI "${unicode}/${cli_name}")

# --- plan names the running Windows as the kernel reports it ---------------
# reg.exe reads the version Wine keeps in the registry: the major version in
# CurrentMajorVersionNumber where there is one (Windows 10 and later), else
# in CurrentVersion.
set(nt "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion")
reg_query("${nt}" CurrentMajorVersionNumber major)
reg_query("${nt}" CurrentMinorVersionNumber minor)
reg_query("${nt}" CurrentVersion version)
reg_query("${nt}" CurrentBuildNumber build)
if(major MATCHES "REG_DWORD +(0x[0-9a-fA-F]+)" AND minor MATCHES "REG_DWORD +(0x[0-9a-fA-F]+)")
  string(REGEX MATCH "REG_DWORD +(0x[0-9a-fA-F]+)" unused "${major}")
  math(EXPR major_number "${CMAKE_MATCH_1}")
  string(REGEX MATCH "REG_DWORD +(0x[0-9a-fA-F]+)" unused "${minor}")
  math(EXPR minor_number "${CMAKE_MATCH_1}")
  set(version_number "${major_number}.${minor_number}")
else()
  string(REGEX MATCH "REG_SZ +([0-9]+\\.[0-9]+)" unused "${version}")
  set(version_number "${CMAKE_MATCH_1}")
endif()
string(REGEX MATCH "REG_SZ +([0-9]+)" unused "${build}")
set(build_number "${CMAKE_MATCH_1}")
if(version_number STREQUAL "" OR build_number STREQUAL "")
  message(FATAL_ERROR "reg.exe gave no Windows version:\n${version}${major}${build}")
endif()
string(REPLACE "." "\\." version_re "${version_number}.${build_number}")
cli(0 planned plan --speed 57)
string(REGEX REPLACE "[ \n]+" " " planned "${planned}")
expect_match("plan names the Windows version of this prefix" "${planned}"
             "This PC runs Windows [^(]*\\(${version_re}\\), under Wine [0-9]")

# The same program told by Wine that it runs on Windows 10: the effects shown
# are then those of its own version.
wine_version(win10)
execute_process(COMMAND ${EMULATOR} "${CLI}" plan --speed 57
                OUTPUT_VARIABLE planned10 ERROR_VARIABLE err RESULT_VARIABLE code)
set(plan_code "${code}")
wine_version("")
if(NOT plan_code EQUAL 0)
  message(FATAL_ERROR "plan as on Windows 10: exit ${plan_code}\n${err}")
endif()
string(REGEX REPLACE "[ \n]+" " " planned10 "${planned10}")
expect_match("plan on Windows 10" "${planned10}"
             "This PC runs Windows 10 \\(10\\.0\\.[0-9]+\\), under Wine [0-9.]+: the effects shown are those on Windows 10 and 11\\.")
