# The manual page's include file for help2man: the hand-written sections of
# ferrowinder-cli.h2m, then a COMMANDS section with each command's own help as
# the tool prints it (so the page says what `help COMMAND` says).
# Run with -DCLI=<ferrowinder-cli> -DSTATIC=<ferrowinder-cli.h2m> -DOUTPUT=<file>.
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE usage RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${CLI} --help exited ${code}")
endif()
# The command names: the lines of the Commands: list.
string(REGEX MATCH "Commands:\n(  [a-z]+ [^\n]*\n)+" list "${usage}")
string(REGEX MATCHALL "\n  [a-z]+" names "${list}")

file(READ "${STATIC}" page)
string(APPEND page "\n[COMMANDS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND "${CLI}" help ${name} OUTPUT_VARIABLE help RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${CLI} help ${name} exited ${code}")
  endif()
  # As roff text: backslashes escaped, and no line taken for a request.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND page ".SS ${name}\n.nf\n${help}.fi\n")
endforeach()
file(WRITE "${OUTPUT}" "${page}")
