# The commit's time is the only time that goes into what the build makes: the
# Windows programs' TimeDateStamp, the zip's entries and the manual pages.
# SOURCE_DATE_EPOCH from the environment wins; else the commit's time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(FERRO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE FERRO_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  # A new commit configures again, so the next build takes its time.
  execute_process(COMMAND git rev-parse --absolute-git-dir WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE _git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(EXISTS "${_git_dir}/logs/HEAD")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_git_dir}/logs/HEAD")
  endif()
endif()

# A command prefix that runs a tool with that time: ld (PE TimeDateStamp),
# help2man (the manual's date), CPack (the zip's entries, see ReproducibleCPack.cmake).
if(FERRO_SOURCE_DATE_EPOCH)
  set(FERRO_WITH_SOURCE_DATE ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${FERRO_SOURCE_DATE_EPOCH})
  if(WIN32)
    set(CMAKE_C_LINKER_LAUNCHER ${FERRO_WITH_SOURCE_DATE})
    set(CMAKE_CXX_LINKER_LAUNCHER ${FERRO_WITH_SOURCE_DATE})
  endif()
else()
  # Neither a commit nor SOURCE_DATE_EPOCH: no time at all rather than now.
  set(FERRO_WITH_SOURCE_DATE "")
  if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
endif()

# No build folder in the programs (DWARF, __FILE__): the same bytes from any
# folder. The build folder's mapping comes last, so it wins where it lies
# inside the sources.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
