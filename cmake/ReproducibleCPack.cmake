# CPack's project configuration: the zip's entries carry the commit's time
# (cmake/Reproducible.cmake), not the time the files were built.
if(CPACK_FERRO_SOURCE_DATE_EPOCH AND NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_FERRO_SOURCE_DATE_EPOCH})
endif()
