#!/usr/bin/env bash
# Starts (start) or stops and removes (stop) the private cluster of the tests. It listens on
# 127.0.0.77:5432: the program's connection string fixes the port, and the loopback address keeps
# it apart from a demo or system server on 127.0.0.1. The database "tabel_template" holds the
# plant schema; each test creates its own database from it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/pg_cluster.sh"

ADDR=${TABEL_TEST_SERVER:-127.0.0.77}
PORT=5432
DIR=${TABEL_TEST_PGDATA:-/tmp/tabel-test-pg-$(id -u)}

case "${1:-}" in
start)
    pg_cluster_stop "$DIR"
    rm -rf "$DIR" "$DIR.initdb.log"
    pg_cluster_init "$DIR"
    pg_cluster_start "$DIR" "$ADDR" "$PORT"
    pg_create_plant_db "$DIR" "$PORT" tabel_template
    pg_psql "$DIR" "$PORT" -d postgres -c "ALTER DATABASE tabel_template WITH IS_TEMPLATE true"
    echo "test cluster ready at $ADDR:$PORT ($DIR)"
    ;;
stop)
    pg_cluster_stop "$DIR"
    rm -rf "$DIR" "$DIR.initdb.log"
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
