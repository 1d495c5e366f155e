#!/usr/bin/env bash
# Private PostgreSQL clusters for the demo and the tests. Sourced by demo_server.sh and
# test_cluster.sh. PostgreSQL refuses to run as root, so as root the cluster runs as the system
# user "postgres", who may not read the caller's folder (a clone in /root): its commands start in
# "/", and SQL files reach psql on its standard input, opened by the caller.

pg_bindir() {
    local d
    d=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    [ -n "$d" ] || { echo "PostgreSQL server binaries not found" >&2; return 1; }
    echo "$d"
}

# Runs a command as the cluster's owner.
pg_as_owner() {
    if [ "$(id -u)" = 0 ]; then
        (cd / && runuser -u postgres -- "$@")
    else
        "$@"
    fi
}

# pg_cluster_init DATADIR: a UTF8 cluster whose superuser is "postgres"; local socket trusted,
# TCP by password.
pg_cluster_init() {
    local dir=$1 bin
    bin=$(pg_bindir) || return 1
    [ -f "$dir/PG_VERSION" ] && return 0
    mkdir -p "$dir"
    [ "$(id -u)" = 0 ] && chown postgres:postgres "$dir"
    chmod 700 "$dir"
    pg_as_owner "$bin/initdb" -D "$dir" -U postgres -E UTF8 --locale=C.UTF-8 \
        --auth-local=trust --auth-host=scram-sha-256 >"$dir.initdb.log" 2>&1 \
        || { cat "$dir.initdb.log" >&2; return 1; }
    # Any loopback address may be used for a private cluster.
    echo "host all all 127.0.0.0/8 scram-sha-256" | pg_as_owner tee -a "$dir/pg_hba.conf" >/dev/null
}

# pg_cluster_start DATADIR ADDRESS PORT
pg_cluster_start() {
    local dir=$1 addr=$2 port=$3 bin
    bin=$(pg_bindir) || return 1
    if pg_as_owner "$bin/pg_ctl" -D "$dir" status >/dev/null 2>&1; then return 0; fi
    pg_as_owner "$bin/pg_ctl" -D "$dir" -w -t 60 -l "$dir/server.log" \
        -o "-c listen_addresses=$addr -c port=$port -c unix_socket_directories=$dir -c fsync=off" start >/dev/null \
        || { tail -n 30 "$dir/server.log" >&2; return 1; }
}

pg_cluster_stop() {
    local dir=$1 bin
    bin=$(pg_bindir) || return 1
    [ -f "$dir/PG_VERSION" ] || return 0
    pg_as_owner "$bin/pg_ctl" -D "$dir" -w -m fast stop >/dev/null 2>&1 || true
}

# pg_psql DATADIR PORT [psql args...]: psql as the superuser over the cluster's own socket.
pg_psql() {
    local dir=$1 port=$2
    shift 2
    pg_as_owner psql -X -q -v ON_ERROR_STOP=1 -h "$dir" -p "$port" -U postgres "$@"
}

# pg_create_plant_db DATADIR PORT NAME: the role sys and a database holding the plant schema.
pg_create_plant_db() {
    local dir=$1 port=$2 name=$3 src
    src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    pg_psql "$dir" "$port" -d postgres <"$src/database/roles.sql"
    pg_psql "$dir" "$port" -d postgres -c "CREATE DATABASE \"$name\" OWNER sys ENCODING 'UTF8' TEMPLATE template0"
    pg_psql "$dir" "$port" -d postgres -c "ALTER DATABASE \"$name\" SET datestyle TO 'ISO, DMY'"
    pg_psql "$dir" "$port" -d "$name" -c "SET ROLE sys" -f - <"$src/database/schema.sql"
}
