#!/usr/bin/env bash
# Installs what building, running and testing the program need on Debian 12, and registers the
# PostgreSQL ODBC driver without its communication log. Safe to run again: it only installs what is
# missing. Usage: scripts/install_deps.sh [run|test|package]
set -euo pipefail

purpose=${1:-test}
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-odbc qt6-translations-l10n libgl-dev
    unixodbc unixodbc-dev odbc-postgresql postgresql
    libxlsxwriter-dev fonts-liberation2 fonts-dejavu-core
    # Configuring the build folder looks for what the tests link too, whatever is built.
    zlib1g-dev
)
case "$purpose" in
test)
    # Reading back PDFs and workbooks in the tests.
    packages+=(poppler-utils libreoffice-calc-nogui locales)
    ;;
package)
    # cpack's DEB generator finds the shared libraries' packages with dpkg-shlibdeps.
    packages+=(dpkg-dev file)
    ;;
*)
    packages+=(xdg-utils fonts-crosextra-carlito)
    ;;
esac

sudo_cmd=()
if [ "$(id -u)" != 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Debian's driver section ships CommLog=1, which makes the driver write a log file for every
# connection whatever the connection string says. The program writes no log.
ini=/etc/odbcinst.ini
if ! grep -qi '^\[PostgreSQL Unicode\]' "$ini" 2>/dev/null; then
    "${sudo_cmd[@]}" odbcinst -i -d -f /usr/share/psqlodbc/odbcinst.ini.template >/dev/null
fi
if sed -n '/^\[PostgreSQL Unicode\]/,/^\[/p' "$ini" | grep -q '^CommLog=1'; then
    "${sudo_cmd[@]}" sed -i '/^\[PostgreSQL Unicode\]/,/^\[/ s/^CommLog=1/CommLog=0/' "$ini"
fi
