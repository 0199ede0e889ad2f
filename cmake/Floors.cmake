# The floors of src/, from the ground up (README.md, Layout): every include
# points down a floor or sideways, never up. Each floor names its folders, or
# a file without its extension where one file stands higher than the rest of
# its folder (the window lifetime beside the main window). The build gives
# each library the headers of its own floor only (ferro_floor_headers), and
# the Floors test reads every file against this table.
set(FERRO_FLOORS registry platform tuning form windows lifetime top)
set(FERRO_FLOOR_registry registry)
set(FERRO_FLOOR_platform platform)
set(FERRO_FLOOR_tuning tuning)
set(FERRO_FLOOR_form form)
set(FERRO_FLOOR_windows wizard info app)
set(FERRO_FLOOR_lifetime app/AppWindows)
set(FERRO_FLOOR_top ui cli)

# The floor of a file by its path under src/ ("app/frmMain.h"): the floor that
# names the longest part of the path; empty when no floor names it.
function(ferro_floor_of path out_var)
  set(found "")
  set(found_length 0)
  foreach(floor IN LISTS FERRO_FLOORS)
    foreach(part IN LISTS FERRO_FLOOR_${floor})
      string(LENGTH "${part}" length)
      if(path MATCHES "^${part}[/.]" AND length GREATER found_length)
        set(found ${floor})
        set(found_length ${length})
      endif()
    endforeach()
  endforeach()
  set(${out_var} "${found}" PARENT_SCOPE)
endfunction()

# Links to the headers of each floor, one folder of the build per floor, with
# the paths the includes write ("form/Form.h").
function(ferro_make_floor_folders source_dir)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${source_dir} ${source_dir}/*.h)
  file(REMOVE_RECURSE ${CMAKE_BINARY_DIR}/floors)
  foreach(header IN LISTS headers)
    ferro_floor_of(${header} floor)
    if(floor STREQUAL "")
      message(FATAL_ERROR "src/${header} is on no floor: name its folder in cmake/Floors.cmake")
    endif()
    set(link ${CMAKE_BINARY_DIR}/floors/${floor}/${header})
    get_filename_component(folder ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${source_dir}/${header} ${link} SYMBOLIC)
  endforeach()
endfunction()

# `target` sees the headers of `floor`, and passes them on to what links it:
# an include that runs up a floor finds no header.
function(ferro_floor_headers target floor)
  target_include_directories(${target} PUBLIC ${CMAKE_BINARY_DIR}/floors/${floor})
endfunction()
