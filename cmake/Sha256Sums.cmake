# Run by CPack after it made the package: writes <package>-SHA256SUMS beside
# it (FerroWinder-1.1.0-win64-SHA256SUMS: the version and the build in the name,
# so the sums of two releases or of two builds never share a name), in the
# form `sha256sum -c` checks, so a download can be verified.
set(_sums "")
foreach(_package IN LISTS CPACK_PACKAGE_FILES)
  file(SHA256 ${_package} _hash)
  get_filename_component(_name ${_package} NAME)
  string(APPEND _sums "${_hash}  ${_name}\n")
endforeach()
if(NOT _sums)
  message(FATAL_ERROR "CPack made no package to sum")
endif()
# The package is summed where CPack made it, before it copies it to
# CPACK_PACKAGE_DIRECTORY: the sums go there, beside the copy.
set(_sums_file ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-SHA256SUMS)
file(WRITE ${_sums_file} "${_sums}")
message(STATUS "checksums: ${_sums_file}")
