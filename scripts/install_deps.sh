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
    # cpack's DEB generator finds the shared libraries' packages with dpkg-shlibdeps; lintian
    # checks the package made.
    packages+=(dpkg-dev file lintian)
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
# Shows apt's progress in one line that counts up (a line per step of ten per cent when the output
# is not a terminal), and its summary of what is fetched; apt's own listing goes unseen.
progress() {
    local last="" line kind pct text
    while IFS= read -r line; do
        case "$line" in
        dlstatus:* | pmstatus:*)
            IFS=: read -r kind _ pct text <<<"$line"
            [ "$kind" = dlstatus ] && kind="Downloading" || kind="Installing"
            pct=${pct%%.*}
            if [ -t 1 ]; then
                printf '\r\033[K%s: %3d%%  %s' "$kind" "$pct" "${text:0:60}"
            elif [ "$kind $((pct / 10))" != "$last" ]; then
                echo "$kind: $pct%"
                last="$kind $((pct / 10))"
            fi
            ;;
        "Need to get "* | "After this operation"*)
            [ -t 1 ] && printf '\r\033[K'
            echo "$line"
            ;;
        esac
    done
    [ -t 1 ] && printf '\r\033[K'
    return 0
}

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    # The download, which takes longest on a slow line, shows its progress; the installation then
    # runs as it always did (maintainer scripts write to a pipe badly: fontconfig's fails on one).
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        --download-only -o APT::Status-Fd=1 "${missing[@]}" | progress
    echo "Setting up the packages..."
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
