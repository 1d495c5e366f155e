# Read by cpack: the package's version is the base version and the stamp of the program built
# last (1.0.0+YYYYMMDD.seconds), so that each rebuilt package upgrades the one installed.
if(EXISTS "${CPACK_TABEL_STAMP_SOURCE}")
  file(READ "${CPACK_TABEL_STAMP_SOURCE}" stamp_source)
  if(stamp_source MATCHES "programBuildStamp{([0-9]+), ([0-9]+)}")
    set(CPACK_PACKAGE_VERSION "${CPACK_PACKAGE_VERSION}+${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
  endif()
endif()

# The changelog's newest entry is this version: its heading gets the whole version, the trailers
# the maintainer. Debian wants it compressed without a time stamp.
if(DEFINED CPACK_TABEL_CHANGELOG)
  file(READ "${CPACK_TABEL_CHANGELOG_SOURCE}" changelog)
  string(REPLACE "tabel (${CPACK_TABEL_BASE_VERSION})" "tabel (${CPACK_PACKAGE_VERSION})" changelog "${changelog}")
  string(REPLACE "@TABEL_PACKAGE_MAINTAINER@" "${CPACK_TABEL_MAINTAINER}" changelog "${changelog}")
  get_filename_component(changelog_dir "${CPACK_TABEL_CHANGELOG}" DIRECTORY)
  file(WRITE "${changelog_dir}/changelog" "${changelog}")
  execute_process(COMMAND gzip -9nf "${changelog_dir}/changelog" RESULT_VARIABLE gzip_result)
  if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "could not compress ${changelog_dir}/changelog")
  endif()
endif()
