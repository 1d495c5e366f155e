#!/usr/bin/env bash
# The private cluster of the tests. It listens on 127.0.0.77:5432: the program's connection string
# fixes the port, and the loopback address keeps it apart from a demo or system server on
# 127.0.0.1. The database "tabel_template" holds the plant schema; each test creates its own
# database from it.
#   start  start the cluster (or reuse one already running) and (re)build the template
#   stop   stop and remove the cluster, if "start" created it
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/pg_cluster.sh"

ADDR=${TABEL_TEST_SERVER:-127.0.0.77}
PORT=5432
DIR=${TABEL_TEST_PGDATA:-/tmp/tabel-test-pg-$(id -u)}
OWNED="$DIR.started-by-tests"

running() {
    local bin
    bin=$(pg_bindir) && pg_as_owner "$bin/pg_ctl" -D "$DIR" status >/dev/null 2>&1
}

case "${1:-}" in
start)
    if ! running; then
        rm -rf "$DIR" "$DIR.initdb.log"
        pg_cluster_init "$DIR"
        pg_cluster_start "$DIR" "$ADDR" "$PORT"
        touch "$OWNED"
    fi
    pg_psql "$DIR" "$PORT" -d postgres -c "DROP DATABASE IF EXISTS tabel_template_new"
    pg_create_plant_db "$DIR" "$PORT" tabel_template_new
    pg_psql "$DIR" "$PORT" -d postgres \
        -c "ALTER DATABASE tabel_template_new WITH IS_TEMPLATE true" \
        -c "UPDATE pg_database SET datistemplate = false WHERE datname = 'tabel_template'" \
        -c "DROP DATABASE IF EXISTS tabel_template" \
        -c "ALTER DATABASE tabel_template_new RENAME TO tabel_template"
    echo "test cluster ready at $ADDR:$PORT ($DIR)"
    ;;
stop)
    if [ -f "$OWNED" ]; then
        pg_cluster_stop "$DIR"
        rm -rf "$DIR" "$DIR.initdb.log" "$OWNED"
    fi
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
