# Included by the checks that boost the registry they run against: they run
# only in the throwaway Wine prefix that scripts/test-windows makes (named in
# FERRO_THROWAWAY_WINEPREFIX). Sets FERRO_IN_THROWAWAY_PREFIX; elsewhere it
# says why the check is skipped.
if(DEFINED ENV{WINEPREFIX} AND "$ENV{FERRO_THROWAWAY_WINEPREFIX}" STREQUAL "$ENV{WINEPREFIX}")
  set(FERRO_IN_THROWAWAY_PREFIX ON)
else()
  set(FERRO_IN_THROWAWAY_PREFIX OFF)
  message("[  SKIPPED ] this check boosts the registry it runs against, so it runs only in the "
          "throwaway Wine prefix of scripts/test-windows")
endif()
