# Writes the current date and time as a build stamp (YYYYMMDD and seconds since midnight):
#   -DFORM=header  OUT is a header defining TABEL_BUILD_DATE and TABEL_BUILD_TIME
#   -DFORM=source  OUT is the executable's source defining programBuildStamp
string(TIMESTAMP D "%Y%m%d")
string(TIMESTAMP H "%H")
string(TIMESTAMP M "%M")
string(TIMESTAMP S "%S")
math(EXPR T "1${H} * 3600 - 100 * 3600 + 1${M} * 60 - 100 * 60 + 1${S} - 100")
if(FORM STREQUAL "source")
  file(WRITE "${OUT}.tmp" "#include \"db/build_stamp.h\"\n\nconst BuildStamp programBuildStamp{${D}, ${T}};\n")
else()
  file(WRITE "${OUT}.tmp" "#define TABEL_BUILD_DATE ${D}\n#define TABEL_BUILD_TIME ${T}\n")
endif()
file(RENAME "${OUT}.tmp" "${OUT}")
