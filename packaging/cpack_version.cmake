# Read by cpack: the package's version is the base version and the stamp of the program built
# last (1.0.0+YYYYMMDD.seconds), so that each rebuilt package upgrades the one installed.
if(EXISTS "${CPACK_TABEL_STAMP_SOURCE}")
  file(READ "${CPACK_TABEL_STAMP_SOURCE}" stamp_source)
  if(stamp_source MATCHES "programBuildStamp{([0-9]+), ([0-9]+)}")
    set(CPACK_PACKAGE_VERSION "${CPACK_PACKAGE_VERSION}+${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
  endif()
endif()
