# The PE reader of the exe checks: objdump -p's headers and import tables.
function(ferro_pe_dump program objdump out)
  execute_process(COMMAND ${objdump} -p ${program} OUTPUT_VARIABLE dump RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${objdump} -p ${program} failed")
  endif()
  set(${out} "${dump}" PARENT_SCOPE)
endfunction()
