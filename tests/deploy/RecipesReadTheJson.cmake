# The deploy recipes that read check's JSON read what the tool writes: the
# format detect.ps1 expects is the one the tool gives, and each member the
# Intune script and the Ansible playbook read is there, with the type they
# read it as. The tool's JSON is read with CMake's JSON reader. Run by ctest
# with -DCLI=<ferrowinder-cli> -DDEPLOY=<deploy folder> -DWORK=<scratch folder>.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
# A store with one value of the machine part changed, so that check finds
# one value present but different and the others absent.
execute_process(COMMAND "${CLI}" apply --speed 1024 --no-backup --registry "${WORK}/r.db" RESULT_VARIABLE applied
                OUTPUT_QUIET)
execute_process(COMMAND "${CLI}" check --speed 56 --part machine --format json --registry "${WORK}/r.db"
                OUTPUT_VARIABLE json RESULT_VARIABLE code)
if(NOT applied EQUAL 0 OR NOT code EQUAL 1)
  message(FATAL_ERROR "apply exited ${applied}, check exited ${code} (wanted 0 and 1):\n${json}")
endif()

file(READ "${DEPLOY}/intune/detect.ps1" detect)
string(REGEX MATCH "\\$result\\.format -ne ([0-9]+)" compared "${detect}")
string(JSON format GET "${json}" format)
if(NOT compared OR NOT CMAKE_MATCH_1 EQUAL format)
  message(FATAL_ERROR "detect.ps1 checks for JSON format '${CMAKE_MATCH_1}', the tool writes ${format}")
endif()
string(JSON summary TYPE "${json}" summary)
string(JSON differences LENGTH "${json}" differences)
if(NOT summary STREQUAL "STRING" OR differences EQUAL 0)
  message(FATAL_ERROR "check's JSON lacks a summary or differences:\n${json}")
endif()

# Every member the recipes read, on the first difference that has data now.
math(EXPR last "${differences} - 1")
foreach(at RANGE 0 ${last})
  string(JSON now TYPE "${json}" differences ${at} now)
  if(now STREQUAL "OBJECT")
    set(i ${at})
    break()
  endif()
endforeach()
foreach(read IN ITEMS "path:STRING" "now:OBJECT" "now type:STRING" "wanted type:STRING" "wanted:OBJECT")
  string(REPLACE ":" ";" parts "${read}")
  list(GET parts 0 member)
  list(GET parts 1 wanted)
  string(REPLACE " " ";" member "${member}")
  string(JSON type ERROR_VARIABLE error TYPE "${json}" differences ${i} ${member})
  if(NOT type STREQUAL wanted)
    message(FATAL_ERROR "differences[${i}].${member} is ${type} ${error}, not ${wanted}:\n${json}")
  endif()
endforeach()
# The data typed: a number for a REG_DWORD, a string for a REG_SZ.
string(JSON type GET "${json}" differences ${i} now type)
string(JSON data TYPE "${json}" differences ${i} now data)
if(NOT (type STREQUAL "REG_DWORD" AND data STREQUAL "NUMBER") AND NOT (type STREQUAL "REG_SZ" AND data STREQUAL "STRING"))
  message(FATAL_ERROR "a ${type} has ${data} data:\n${json}")
endif()

foreach(script "intune/detect.ps1" "ansible/boost.yml")
  file(READ "${DEPLOY}/${script}" text)
  string(REGEX MATCHALL "(difference|item)(\\.[a-z]+)+" used "${text}")
  foreach(use IN LISTS used)
    string(REPLACE "." ";" member "${use}")
    list(REMOVE_AT member 0)  # difference or item
    string(JSON type ERROR_VARIABLE error TYPE "${json}" differences ${i} ${member})
    if(error)
      message(FATAL_ERROR "${script} reads ${use}, which check's JSON does not have (${error})")
    endif()
  endforeach()
endforeach()
file(READ "${DEPLOY}/ansible/boost.yml" playbook)
if(NOT playbook MATCHES "check, --speed, [^]\n]*--format, json\\]")
  message(FATAL_ERROR "boost.yml reads check's JSON without asking for it (--format json)")
endif()
file(REMOVE_RECURSE "${WORK}")
