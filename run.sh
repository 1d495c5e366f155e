#!/usr/bin/env bash
# Builds the program and starts it against a local demo database "plant_db" on 127.0.0.1:5432.
# When nothing listens there, a private PostgreSQL cluster is started (and, on first use,
# created and filled with a demo plant). Log in with 61370452 (administrator).
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)
scripts/install_deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tabel

. scripts/pg_cluster.sh
if [ "$(id -u)" = 0 ]; then
    data=/var/lib/tabel-demo/pgdata
    mkdir -p /var/lib/tabel-demo
else
    data=${XDG_DATA_HOME:-$HOME/.local/share}/tabel-demo/pgdata
    mkdir -p "$(dirname "$data")"
fi

listening() { (exec 3<>/dev/tcp/127.0.0.1/5432) 2>/dev/null; }

if [ -f "$data/PG_VERSION" ] || ! listening; then
    pg_cluster_init "$data"
    pg_cluster_start "$data" 127.0.0.1 5432
    if ! pg_psql "$data" 5432 -d postgres -Atc "select 1 from pg_database where datname='plant_db'" | grep -q 1; then
        echo "Creating the demo database plant_db..."
        pg_create_plant_db "$data" 5432 plant_db
        scripts/load_demo.sh "$data" 5432 plant_db small
    fi
else
    echo "A database server already listens on 127.0.0.1:5432; using its database plant_db."
fi

echo "Starting the program. Administrator login: 61370452"
exec "$here/build/tabel" "$@"
