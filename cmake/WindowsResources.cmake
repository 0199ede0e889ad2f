# Icon, manifest and version information for a Windows program, from
# resources/ferrowinder.rc.in and the program's manifest in resources/.
enable_language(RC)

# The maker and the year, as the splash shows them (one place: src/info/Branding.h).
file(STRINGS ${PROJECT_SOURCE_DIR}/src/info/Branding.h _copyright REGEX "kCopyrightLine = ")
if(NOT _copyright MATCHES "\"Copyright \\\\u00A9 ([0-9]+) ([^\"]+)\"")
  message(FATAL_ERROR "src/info/Branding.h: kCopyrightLine is not \"Copyright \\u00A9 YEAR MAKER\"")
endif()
set(FERRO_COPYRIGHT_YEAR ${CMAKE_MATCH_1})
set(FERRO_MAKER ${CMAKE_MATCH_2})

# The build's processor as manifests name it: a manifest naming another one
# stops the program with a side-by-side error.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(FERRO_MANIFEST_ARCH x86)
else()
  set(FERRO_MANIFEST_ARCH amd64)
endif()

function(ferro_windows_resources target description)
  set(FERRO_RC_NAME ${target})
  set(FERRO_RC_FILE ${target}.exe)
  set(FERRO_RC_DESCRIPTION "${description}")
  set(FERRO_RC_ICON ${PROJECT_SOURCE_DIR}/resources/ferrowinder.ico)
  # Manifests carry the version as four numbers.
  set(FERRO_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(FERRO_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.exe.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/resources/${target}.exe.manifest ${FERRO_RC_MANIFEST} @ONLY)
  set(_rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/ferrowinder.rc.in ${_rc} @ONLY)
  # windres reports no dependencies: rebuild when the icon or manifest changes.
  set_source_files_properties(${_rc} PROPERTIES OBJECT_DEPENDS "${FERRO_RC_ICON};${FERRO_RC_MANIFEST}")
  target_sources(${target} PRIVATE ${_rc})
endfunction()
