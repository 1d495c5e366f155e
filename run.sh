#!/usr/bin/env bash
# Builds the program and starts it against the demo database plant_db on a private PostgreSQL
# cluster of its own (scripts/demo_server.sh: 127.0.0.42:5432, created and filled with a demo plant
# on first use). Log in with 61370452 (administrator).
#   ./run.sh          build, start the demo server, run the program; the server stops with it
#   ./run.sh --keep   leave the demo server running when the program closes
#   ./run.sh --reset  recreate the demo data first
#   ./run.sh --stop   only stop the demo server
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)

keep=false reset=false
for arg in "$@"; do
    case "$arg" in
    --keep) keep=true ;;
    --reset) reset=true ;;
    --stop)
        exec scripts/demo_server.sh stop
        ;;
    *)
        sed -n '2,8p' "$0" >&2
        exit 2
        ;;
    esac
done

scripts/install_deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tabel

if $reset; then
    scripts/demo_server.sh reset
else
    scripts/demo_server.sh start
fi
address=$(scripts/demo_server.sh address)
$keep || trap 'scripts/demo_server.sh idle' EXIT

echo "Starting the program. Administrator login: 61370452"
code=0
"$here/build/tabel" plant_db "$address" || code=$?
exit $code
