# The Intune scripts of deploy/intune, read as text: PowerShell is not in
# Debian's archive, so they cannot be run here. Checked: a missing program
# ends the script with exit 1 before anything runs it (PowerShell leaves
# $LASTEXITCODE unset when & cannot start a program, and exit $null is 0);
# the exit code is never passed on unmapped; and the summary is the last line
# written, the one Intune shows. Run by ctest with -DINTUNE=<folder>.
cmake_minimum_required(VERSION 3.25)
message("PowerShell is not in Debian's archive: the Intune scripts are checked as text, not run")

foreach(name detect remediate detect-leftovers)
  file(READ "${INTUNE}/${name}.ps1" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(FIND "${text}" "& $cli " first_run)
  string(REGEX MATCH "if \\(-not \\(Test-Path -LiteralPath \\$cli -PathType Leaf\\)\\) {\n[^}]*\n    exit 1\n}" guard "${text}")
  string(FIND "${text}" "${guard}" guard_at)
  if(guard STREQUAL "" OR first_run EQUAL -1 OR guard_at GREATER first_run)
    message(FATAL_ERROR "${name}.ps1 does not exit 1 before it runs a missing ferrowinder-cli.exe")
  endif()
  if(text MATCHES "exit \\$LASTEXITCODE")
    message(FATAL_ERROR "${name}.ps1 passes the exit code on unmapped (exit $LASTEXITCODE)")
  endif()
  string(REGEX REPLACE "(^|\n) *#[^\n]*" "\\1" code "${text}")  # without its comments
  string(REGEX MATCHALL "(\n *|{ )exit [^ \n}]+" exits "${code}")
  foreach(e IN LISTS exits)
    if(NOT e MATCHES "exit [01]$")
      message(FATAL_ERROR "${name}.ps1: '${e}': Intune understands exit 0 and exit 1 only")
    endif()
  endforeach()
endforeach()

# detection: the summary of the command's JSON is the last line written
# before it exits.
foreach(detect detect detect-leftovers)
  file(READ "${INTUNE}/${detect}.ps1" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REGEX MATCH "Write-Output [^\n]*\nif \\(\\$code -eq 0\\) { exit 0 } else { exit 1 }[\r\n]*$" tail "${text}")
  if(NOT tail MATCHES "^Write-Output \\$result\\.summary")
    message(FATAL_ERROR "${detect}.ps1 does not write the summary last:\n${tail}")
  endif()
  if(NOT text MATCHES "--format json 2>&1\n" OR NOT text MATCHES "ConvertFrom-Json")
    message(FATAL_ERROR "${detect}.ps1 does not read the command's JSON")
  endif()
endforeach()
