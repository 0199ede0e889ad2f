# ferrowinder-cli's manual page as built: the sections a reader looks for,
# and each command's help as the tool prints it, command by command.
# Run by ctest with -DPAGE=<ferrowinder-cli.1> -DCLI=<ferrowinder-cli>.
cmake_minimum_required(VERSION 3.25)

file(READ "${PAGE}" page)
foreach(section "FILES" "ENVIRONMENT" "EXAMPLES" "\"SEE ALSO\"" "COMMANDS")
  string(FIND "${page}" "\n.SH ${section}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${PAGE} has no ${section} section")
  endif()
endforeach()
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE usage)
string(REGEX MATCHALL "\n  [a-z]+  " names "${usage}")
list(LENGTH names count)
if(count LESS 7)
  message(FATAL_ERROR "the usage lists ${count} commands:\n${usage}")
endif()
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND "${CLI}" help ${name} OUTPUT_VARIABLE help)
  # The first line of the help's description in the command's subsection.
  string(REGEX MATCH "\n\n([^\n]+)" first "${help}")
  string(FIND "${page}" ".SS ${name}\n" at)
  string(FIND "${page}" "${CMAKE_MATCH_1}" said)
  if(at EQUAL -1 OR said LESS at)
    message(FATAL_ERROR "${PAGE}: no subsection for ${name} with \"${CMAKE_MATCH_1}\"")
  endif()
endforeach()
