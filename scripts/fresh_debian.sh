#!/usr/bin/env bash
# A fresh Debian 12 in a folder, to try the set-up and the workstation package as a new user
# meets them. Not used by the tests. Run as root on a Debian host.
#
#   scripts/fresh_debian.sh create ROOT     debootstrap bookworm into ROOT, add sudo and a user
#                                           "anna" who may use it (kept pristine: copy it with
#                                           "clone" before trying anything in it)
#   scripts/fresh_debian.sh clone ROOT NEW  a copy of a pristine tree
#   scripts/fresh_debian.sh run ROOT CMD…   CMD inside ROOT, as root, with /proc, /sys, /dev,
#                                           /dev/pts and /dev/shm mounted
#   PLANT_SERVER=DIR scripts/fresh_debian.sh run …
#                                           the same with a plant's server at 127.0.0.42 inside
#                                           the namespace: this checkout's demo server, its
#                                           cluster in DIR on this host
#   scripts/fresh_debian.sh try-package ROOT DEB
#                                           install the workstation package DEB with apt (with a
#                                           plant's server as above) and the server's question
#                                           preseeded, start the menu entry's command under Xvfb,
#                                           answer the question anew with dpkg-reconfigure and
#                                           start it again, take pictures of the login window, of
#                                           the failed connection's message and of the menu entry
#                                           (rofi) into ROOT/tmp, purge it and compare the system
#                                           with before
#   scripts/fresh_debian.sh try-setup ROOT root|anna [debian-cluster]
#                                           clone this repository into /root/tabel or
#                                           /home/anna/tabel and go through the README's set-up
#                                           as that user: run.sh (started by path from /tmp,
#                                           offscreen, ended once the program is connected),
#                                           --keep, --stop, --reset, a half-made plant_db and one
#                                           with a dropped table mended,
#                                           test.sh; with debian-cluster Debian's own cluster
#                                           runs on 127.0.0.1:5432 throughout
#
# "run" gives the tree a network namespace of its own: its loopback addresses (a demo server, a
# test cluster, Debian's own cluster on 127.0.0.1:5432) are its own and do not meet this host's.
# apt inside still reaches the archive: its proxy, 127.0.0.1:3142 inside, is a Unix socket bridged
# to the archive's port 80 on this host (an HTTP server answers a request in proxy form too).
set -euo pipefail

proxy_port=3142
mirror=deb.debian.org

need() {
    command -v "$1" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$2" >/dev/null
}

tools() {
    need socat socat
    need debootstrap debootstrap
}

create() {
    local root=$1
    tools
    [ ! -e "$root/etc/debian_version" ] || { echo "$root already holds a system" >&2; exit 1; }
    mkdir -p "$root"
    # --include=sudo: a workstation whose user administers it with sudo.
    debootstrap --include=sudo bookworm "$root" "http://$mirror/debian"
    cat >"$root/etc/apt/sources.list" <<EOF
deb http://$mirror/debian bookworm main
deb http://$mirror/debian bookworm-updates main
deb http://$mirror/debian-security bookworm-security main
EOF
    echo "Acquire::http::Proxy \"http://127.0.0.1:$proxy_port\";" >"$root/etc/apt/apt.conf.d/01proxy"
    chroot "$root" useradd -m -s /bin/bash -G sudo anna
    echo 'anna ALL=(ALL) NOPASSWD: ALL' >"$root/etc/sudoers.d/anna"
    chmod 440 "$root/etc/sudoers.d/anna"
    echo "tabel-fresh" >"$root/etc/hostname"
    # Up to date, as an installation from the current media is (otherwise the first package
    # installed would drag in the security updates of libraries), and with what the installer adds
    # to debootstrap's set: the packages it holds recommend, and perl. Without them a package's
    # purge would leave behind what it brought and an installed package recommends.
    run "$root" bash -c '
        set -e
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get upgrade -y -qq >/dev/null
        recommended=$(dpkg-query -W -f="\${Recommends}\n" | tr , "\n" | sed "s/|.*//; s/(.*)//; s/:any//; s/ //g" | sort -u)
        apt-get install -y -qq perl $recommended >/dev/null
        apt-get clean'
    echo "fresh Debian 12 in $root"
}

clone() {
    local root=$1 new=$2
    [ ! -e "$new" ] || { echo "$new exists" >&2; exit 1; }
    cp -a "$root" "$new"
}

run() {
    local root=$1
    shift
    tools
    local sock=$root/run/apt-proxy.sock
    rm -f "$sock"
    socat "UNIX-LISTEN:$sock,fork,mode=600" "TCP:$mirror:80" &
    local bridge=$!
    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
    local rc=0
    local repo
    repo=$(cd "$(dirname "$0")/.." && pwd)
    unshare --net bash -c '
        ip link set lo up
        socat TCP-LISTEN:'"$proxy_port"',bind=127.0.0.1,fork,reuseaddr UNIX-CONNECT:"$1" &
        bridge=$!
        server() { TABEL_DEMO_DIR=$PLANT_SERVER TABEL_DEMO_SERVER=127.0.0.42 "$2/scripts/demo_server.sh" "$1"; }
        [ -z "${PLANT_SERVER:-}" ] || server start "$2" >/dev/null
        repo=$2
        shift 2
        chroot "$@"; rc=$?
        [ -z "${PLANT_SERVER:-}" ] || server stop "$repo" >/dev/null
        kill $bridge
        exit $rc' bridge "$sock" "$repo" "$root" env -i HOME=/root TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@" || rc=$?
    # Whatever the command left running in the tree must go before the mounts do.
    local pids
    pids=$(for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$(readlink -f "$root")" ] && echo "${p#/proc/}"
    done || true)
    [ -z "$pids" ] || { kill $pids 2>/dev/null || true; sleep 2; kill -9 $pids 2>/dev/null || true; }
    umount "$root/dev/shm" "$root/dev/pts" "$root/dev" "$root/sys" "$root/proc"
    kill "$bridge" 2>/dev/null || true
    rm -f "$sock"
    return $rc
}

# The steps of try-setup, run inside the tree as root.
setup_steps='
set -euo pipefail
who=$1 debian=$2 clone=$3
step() { echo "=== $(date +%T) $*"; }
as_user() {
    if [ "$who" = root ]; then bash -c "$1"; else su - anna -c "$1"; fi
}
accepts() { (exec 3<>"/dev/tcp/$1/5432") 2>/dev/null; }
demo_sql() { PGPASSWORD=wubzelk psql -X -h 127.0.0.42 -U sys -d plant_db -Atc "$1"; }
program_pids() {
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/exe" 2>/dev/null)" = "$clone/build/tabel" ] && echo "${p#/proc/}"
    done || true
}
# Starts run.sh with the given options in the background; returns once the program holds its
# connection to plant_db (the login window is up), then ends the program and waits for run.sh.
run_until_connected() {
    local log=/tmp/run.$RANDOM.log started=$(date +%s)
    as_user "cd /tmp && QT_QPA_PLATFORM=offscreen $clone/run.sh $1" >"$log" 2>&1 &
    local run=$!
    until [ -n "$(program_pids)" ] && command -v psql >/dev/null         && [ "$(demo_sql "SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND pid <> pg_backend_pid()" 2>/dev/null)" -gt 0 ] 2>/dev/null; do
        if ! kill -0 $run 2>/dev/null; then
            cat "$log"; echo "run.sh $1 ended before the program connected" >&2; return 1
        fi
        sleep 3
    done
    echo "program connected after $(( $(date +%s) - started )) s"
    sleep 2
    kill $(program_pids)
    wait $run || true
    grep -v "^ \|^-\|^(\|^\[" "$log" | tail -n 8
    cp "$log" /tmp/run.last.log
}
if [ "$debian" = debian-cluster ]; then
    step "Debian'"'"'s own PostgreSQL cluster"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq postgresql >/dev/null
    pg_ctlcluster 15 main start || true
    pg_lsclusters
    accepts 127.0.0.1 || { echo "Debian cluster does not listen on 127.0.0.1:5432" >&2; exit 1; }
fi
t=$(date +%s)
step "run.sh as $who, first use"
run_until_connected ""
accepts 127.0.0.42 && { echo "the demo server still runs after the program closed" >&2; exit 1; }
echo "first run.sh: $(( $(date +%s) - t )) s"

step "run.sh --keep, then run.sh --stop"
t=$(date +%s)
run_until_connected --keep
accepts 127.0.0.42 || { echo "--keep did not keep the demo server" >&2; exit 1; }
as_user "$clone/run.sh --stop"
accepts 127.0.0.42 && { echo "--stop left the demo server running" >&2; exit 1; }
echo "--keep/--stop: $(( $(date +%s) - t )) s"

step "a half-made plant_db (cluster running, empty database) is mended"
t=$(date +%s)
run_until_connected --keep
demo_sql "SELECT 1" >/dev/null
if [ "$who" = root ]; then data=/var/lib/tabel-demo/pgdata; owner=postgres; else data=/home/anna/.local/share/tabel-demo/pgdata; owner=anna; fi
(cd / && runuser -u $owner -- psql -X -q -h $data -U postgres -d postgres \
    -c "DROP DATABASE plant_db WITH (FORCE)" -c "CREATE DATABASE plant_db OWNER sys")
run_until_connected --keep
[ "$(demo_sql "SELECT count(*) > 0 FROM accounts_dep.smena")" = t ] || { echo "plant_db not mended" >&2; exit 1; }
as_user "$clone/run.sh --stop"
echo "mended: $(( $(date +%s) - t )) s"

step "a demo database with a dropped table is mended"
t=$(date +%s)
run_until_connected --keep
(cd / && runuser -u $owner -- psql -X -q -h $data -U postgres -d plant_db -c "DROP TABLE accounts_dep.smena")
run_until_connected --keep
grep "lacks or holds changed" /tmp/run.last.log
grep -q "lacks or holds changed: accounts_dep.smena" /tmp/run.last.log || { echo "run.sh did not say it mends the database" >&2; exit 1; }
[ "$(demo_sql "SELECT count(*) > 0 FROM accounts_dep.smena")" = t ] || { echo "plant_db with a dropped table not mended" >&2; exit 1; }
as_user "$clone/run.sh --stop"
echo "dropped table mended: $(( $(date +%s) - t )) s"

step "run.sh --reset"
t=$(date +%s)
run_until_connected "--reset --keep"
[ "$(demo_sql "SELECT count(*) > 0 FROM accounts_dep.smena")" = t ] || { echo "no demo data after --reset" >&2; exit 1; }
as_user "$clone/run.sh --stop"
echo "--reset: $(( $(date +%s) - t )) s"

step "test.sh as $who"
t=$(date +%s)
as_user "cd $clone && ./test.sh" >/tmp/test.log 2>&1 || { tail -n 60 /tmp/test.log; exit 1; }
tail -n 4 /tmp/test.log
echo "test.sh: $(( $(date +%s) - t )) s"
if [ "$debian" = debian-cluster ]; then
    accepts 127.0.0.1 || { echo "Debian cluster stopped meanwhile" >&2; exit 1; }
    echo "Debian'"'"'s own cluster still listens on 127.0.0.1:5432"
fi
step "done"
'

# The steps of try-package, run inside the tree as root. The tools for looking at the program
# come first, so that what is compared after the purge is the system the package found.
package_steps='
set -euo pipefail
deb=$1
step() { echo "=== $(date +%T) $*"; }
snapshot() {
    dpkg-query -W -f "\${Package} \${Version} \${Status}\n" | sort >/tmp/$1.packages
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run \
        -o -path /var/cache -o -path /var/log -o -path /var/lib/apt -o -path /var/lib/dpkg \
        -o -path /root/.cache \) -prune -o -print | sort >/tmp/$1.files
    find /etc -type f -exec md5sum {} + | sort -k2 >/tmp/$1.etc
}
# ImageMagick would recommend xdg-utils, and so keep what the package recommends installed after
# the purge: pictures are taken with xwd and made PNG outside.
step "tools to look at the program: Xvfb, xwininfo, xwd, rofi"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    xvfb xauth x11-utils x11-apps rofi >/dev/null
snapshot before
step "apt install $deb, the server preseeded: 127.0.0.42"
t=$(date +%s)
echo "tabel tabel/server string 127.0.0.42" | debconf-set-selections
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >/tmp/install.log 2>&1 || { tail -n 30 /tmp/install.log; exit 1; }
grep -E "^(The following NEW|Setting up tabel)" -A0 /tmp/install.log || true
echo "installed in $(( $(date +%s) - t )) s: $(grep -c "^Setting up" /tmp/install.log) packages set up"
sed -n "/^\[PostgreSQL Unicode\]/,/^\[/p" /etc/odbcinst.ini
command -v tabel
ls -l /usr/share/man/man1/tabel.1.gz /usr/share/applications/ru.tabel.Tabel.desktop /usr/share/metainfo/ru.tabel.Tabel.metainfo.xml
cat /etc/tabel/tabel.conf
grep -qx "server=127.0.0.42" /etc/tabel/tabel.conf || { echo "the preseeded server is not in /etc/tabel/tabel.conf" >&2; exit 1; }
Xvfb :5 -screen 0 900x560x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
xvfb=$!
sleep 2
export DISPLAY=:5
# Starts the menu entry'"'"'s command and waits for a window whose title holds $1; its picture goes
# to /tmp/$2.xwd.
menu_command_until() {
    local t=$(date +%s)
    $(sed -n "s/^Exec=//p" /usr/share/applications/ru.tabel.Tabel.desktop) >/tmp/tabel.log 2>&1 &
    local program=$!
    until xwininfo -root -tree | grep -q "$1"; do
        kill -0 $program 2>/dev/null || { cat /tmp/tabel.log; echo "tabel ended" >&2; return 1; }
        [ $(( $(date +%s) - t )) -lt 60 ] || { xwininfo -root -tree; echo "no window \"$1\"" >&2; return 1; }
        sleep 1
    done
    echo "window after $(( $(date +%s) - t )) s: $(xwininfo -root -tree | grep -o "\"$1[^\"]*\"" | head -n 1)"
    sleep 2
    xwd -root -silent >/tmp/$2.xwd
    kill $program; wait $program || true
}
step "the menu entry'"'"'s command under Xvfb: the login window, against the preseeded server"
menu_command_until "Авторизация" package_login
step "dpkg-reconfigure tabel: the server answered anew (127.0.0.43)"
echo 127.0.0.43 | DEBIAN_FRONTEND=teletype dpkg-reconfigure tabel
cat /etc/tabel/tabel.conf
grep -qx "server=127.0.0.43" /etc/tabel/tabel.conf || { echo "dpkg-reconfigure did not change the server" >&2; exit 1; }
step "the menu entry'"'"'s command: no server at 127.0.0.43, the message says so"
menu_command_until "Ошибка!" package_no_server
step "the menu entry"
rofi -show drun -show-icons >/tmp/rofi.log 2>&1 &
rofi=$!
sleep 4
xwd -root -silent >/tmp/package_menu.xwd
kill $rofi; wait $rofi || true
kill $xvfb; wait $xvfb || true
step "apt purge tabel, apt autoremove --purge"
t=$(date +%s)
DEBIAN_FRONTEND=noninteractive apt-get purge -y tabel >/tmp/purge.log 2>&1
DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y >>/tmp/purge.log 2>&1
echo "purged in $(( $(date +%s) - t )) s"
snapshot after
step "the system against before the installation"
same=true
for k in packages files etc; do
    if diff /tmp/before.$k /tmp/after.$k >/tmp/diff.$k; then echo "$k: as before"; else same=false; echo "$k differ:"; cat /tmp/diff.$k; fi
done
# What apt kept, and the installed packages that keep it (a dependency, an alternative of one,
# or a recommendation of a package that was there before).
for p in $(sed -n "s/^> \([^ ]*\) .*/\1/p" /tmp/diff.packages); do
    echo "$p is kept by: $(apt-cache rdepends --installed "$p" | tail -n +3 | tr -d " " | sort -u | tr "\n" " ")"
done
$same
step "done"
'

try_package() {
    local root=$1 deb=$2
    cp "$deb" "$root/root/"
    local rc=0
    PLANT_SERVER=${PLANT_SERVER:-/var/tmp/tabel-plant-server} \
        run "$root" bash -c "$package_steps" steps "/root/$(basename "$deb")" || rc=$?
    need convert imagemagick
    for shot in package_login package_no_server package_menu; do
        convert "$root/tmp/$shot.xwd" "$root/tmp/$shot.png"
    done
    echo "pictures: $root/tmp/package_login.png $root/tmp/package_no_server.png $root/tmp/package_menu.png"
    return $rc
}

try_setup() {
    local root=$1 who=$2 debian=${3:-} repo clone
    repo=$(cd "$(dirname "$0")/.." && pwd)
    if [ "$who" = root ]; then clone=/root/tabel; else clone=/home/anna/tabel; fi
    git clone -q "$repo" "$root$clone"
    [ "$who" = root ] || chroot "$root" chown -R anna:anna "$clone"
    run "$root" bash -c "$setup_steps" steps "$who" "$debian" "$clone"
}

case "${1:-}" in
try-setup) [ $# -ge 3 ] && try_setup "$2" "$3" "${4:-}" ;;
try-package) [ $# = 3 ] && try_package "$2" "$3" ;;
create) [ $# = 2 ] && create "$2" ;;
clone) [ $# = 3 ] && clone "$2" "$3" ;;
run) [ $# -ge 3 ] && { shift; run "$@"; } ;;
*)
    sed -n '2,37p' "$0" >&2
    exit 2
    ;;
esac
