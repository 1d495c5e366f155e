#!/usr/bin/env bash
# Builds the workstation package tabel_<version>_<arch>.deb and checks what it holds.
#   scripts/build_package.sh [BUILD_FOLDER]
# BUILD_FOLDER is build-package unless given (an existing build folder, such as the tests' "build",
# is reused as it is configured). TABEL_DEFAULT_SERVER=<address> sets the server the program uses
# when neither the command line nor a settings file names one, and the answer the installation's
# question for the server offers. The copyright file and the changelog take the owner, licence and
# maintainer from the build settings TABEL_PACKAGE_COPYRIGHT, TABEL_PACKAGE_LICENSE,
# TABEL_PACKAGE_LICENSE_TEXT and TABEL_PACKAGE_MAINTAINER (cmake -D... on the build folder).
# Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}

scripts/install_deps.sh package
options=()
if [ ! -f "$dir/CMakeCache.txt" ]; then
    options+=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF)
fi
if [ -n "${TABEL_DEFAULT_SERVER:-}" ]; then
    options+=(-DTABEL_DEFAULT_SERVER="$TABEL_DEFAULT_SERVER")
fi
cmake -S . -B "$dir" "${options[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target tabel tabel_manpage

rm -f "$dir"/tabel_*.deb
(cd "$dir" && cpack -G DEB >cpack.log 2>&1) || { cat "$dir/cpack.log" >&2; exit 1; }
debs=("$dir"/tabel_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "cpack made no tabel_*.deb in $dir" >&2; cat "$dir/cpack.log" >&2; exit 1; }

# What a workstation needs from the package; a missing piece fails here, not on a workstation.
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/tabel ./usr/share/applications/ru.tabel.Tabel.desktop \
    ./usr/share/metainfo/ru.tabel.Tabel.metainfo.xml ./usr/share/man/man1/tabel.1.gz \
    ./usr/share/icons/hicolor/scalable/apps/ru.tabel.Tabel.svg ./usr/share/doc/tabel/copyright \
    ./usr/share/doc/tabel/changelog.gz; do
    grep -q " $f\$" <<<"$contents" || { echo "$deb lacks $f" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6sql6-odbc odbc-postgresql odbcinst fonts-liberation2 libqt6widgets6 debconf; do
    grep -q "\b$p\b" <<<"$depends" || { echo "$deb does not depend on $p: $depends" >&2; exit 1; }
done
dpkg-deb -e "$deb" "$dir/control-check"
for s in config postinst postrm; do
    [ -x "$dir/control-check/$s" ] || { echo "$deb lacks an executable $s" >&2; exit 1; }
done
grep -q '^Template: tabel/server$' "$dir/control-check/templates" || { echo "$deb lacks the debconf question" >&2; exit 1; }
rm -rf "$dir/control-check"
# Debian's own checks: warnings are shown, an error fails the build.
lintian --fail-on error --suppress-tags-from-file /dev/null "$deb" >&2 || { echo "lintian found errors in $deb" >&2; exit 1; }
echo "package $(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version), $(du -h "$deb" | cut -f1)"
realpath "$deb"
