# Run by CPack after it made the package: writes SHA256SUMS beside it, in the
# form `sha256sum -c SHA256SUMS` checks, so a download can be verified.
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
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${_sums}")
message(STATUS "checksums: ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS")
