# Writes the current date and time as the build stamp (YYYYMMDD and seconds since midnight).
string(TIMESTAMP D "%Y%m%d")
string(TIMESTAMP H "%H")
string(TIMESTAMP M "%M")
string(TIMESTAMP S "%S")
math(EXPR T "1${H} * 3600 - 100 * 3600 + 1${M} * 60 - 100 * 60 + 1${S} - 100")
file(WRITE "${OUT}.tmp" "#define TABEL_BUILD_DATE ${D}\n#define TABEL_BUILD_TIME ${T}\n")
file(RENAME "${OUT}.tmp" "${OUT}")
