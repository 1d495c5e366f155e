# Fails when a file of the plant rules includes a header of Qt Widgets or Qt Print Support: the
# rules are built and tested without windows. Run with -DLISTS=<file setting FILES, the core's
# files, and FORBIDDEN, the header folders of those modules> -DSTAMP=<file written when all is
# well>.
include("${LISTS}")
foreach(f IN LISTS FILES)
  file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" header "${line}")
    foreach(dir IN LISTS FORBIDDEN)
      get_filename_component(module "${dir}" NAME)
      if(header MATCHES "^${module}/" OR EXISTS "${dir}/${header}")
        message(FATAL_ERROR "${f}: the plant rules include the window header <${header}>")
      endif()
    endforeach()
  endforeach()
endforeach()
file(WRITE "${STAMP}" "")
