#!/usr/bin/env bash
# The demo's private PostgreSQL cluster and its database plant_db, filled with a demo plant.
#   start  start the cluster (creating it on first use) and make sure plant_db is complete and
#          whole (a database whose tables were dropped or changed is made again)
#   reset  start, and recreate plant_db with fresh demo data
#   stop   stop the cluster
#   idle   stop the cluster unless a client other than this script is connected to it
#   address  print the address the program is to be given
# The cluster listens on a loopback address of its own, TABEL_DEMO_SERVER (127.0.0.42), port 5432
# (the program's connection string fixes the port), so it neither needs nor disturbs a server on
# 127.0.0.1, such as the one Debian's postgresql package starts. Its folder, TABEL_DEMO_DIR, is
# /var/lib/tabel-demo for root and ~/.local/share/tabel-demo for anybody else.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/pg_cluster.sh"

ADDR=${TABEL_DEMO_SERVER:-127.0.0.42}
PORT=5432
DB=plant_db
if [ -n "${TABEL_DEMO_DIR:-}" ]; then
    DIR=$TABEL_DEMO_DIR
elif [ "$(id -u)" = 0 ]; then
    DIR=/var/lib/tabel-demo
else
    DIR=${XDG_DATA_HOME:-$HOME/.local/share}/tabel-demo
fi
DATA=$DIR/pgdata
# Set on plant_db once it holds the whole demo; a database without it is a leftover of a run that
# failed half-way, and is made again.
MARK="tabel demo plant, complete"
# The tables, views and columns the program relies on, as database/schema.sql makes them, kept
# per version of that file: a complete plant_db that lacks any of them was damaged since (a table
# dropped by hand, say) and is made again.
SCHEMA_SUM=$(md5sum <"$here/../database/schema.sql" | cut -d' ' -f1)
STRUCTURE=$DIR/structure.$SCHEMA_SUM

running() {
    local bin
    [ -f "$DATA/PG_VERSION" ] && bin=$(pg_bindir) && pg_as_owner "$bin/pg_ctl" -D "$DATA" status >/dev/null 2>&1
}

# The address the running cluster listens on (the sixth line of postmaster.pid).
listening_address() {
    pg_as_owner sed -n 6p "$DATA/postmaster.pid" 2>/dev/null || true
}

accepts() {
    (exec 3<>"/dev/tcp/$1/$PORT") 2>/dev/null
}

sql() {
    PGOPTIONS="-c client_min_messages=warning" pg_psql "$DATA" "$PORT" -d postgres -At "$@"
}

start_cluster() {
    if [ -d "$DATA" ] && [ ! -f "$DATA/PG_VERSION" ]; then
        # initdb did not finish: start the folder afresh.
        rm -rf "$DATA"
    fi
    if [ ! -f "$DATA/PG_VERSION" ]; then
        mkdir -p "$DIR"
        echo "Creating the demo's PostgreSQL cluster in $DATA"
    fi
    pg_cluster_init "$DATA"
    if running && [ "$(listening_address)" != "$ADDR" ]; then
        # Started elsewhere (an older set-up listened on 127.0.0.1): move it to its own address.
        pg_cluster_stop "$DATA"
    fi
    if ! running; then
        if accepts "$ADDR"; then
            echo "Another server already listens on $ADDR:$PORT; give the demo another loopback" \
                 "address, e.g. TABEL_DEMO_SERVER=127.0.0.43 $0 $*" >&2
            exit 1
        fi
        pg_cluster_start "$DATA" "$ADDR" "$PORT" || {
            echo "The demo server could not start on $ADDR:$PORT (a server listening on all" \
                 "addresses at port $PORT keeps it from binding; see $DATA/server.log)" >&2
            exit 1
        }
    fi
}

# structure DBNAME: one line per column of the plant's tables and views, with its type.
structure() {
    pg_psql "$DATA" "$PORT" -d "$1" -At -c "SELECT table_schema || '.' || table_name || ' ' || column_name || ' ' || data_type
        FROM information_schema.columns WHERE table_schema NOT IN ('pg_catalog', 'information_schema')
        ORDER BY 1"
}

# The structure schema.sql makes, from a scratch database when it is not known yet (an older set-up
# or a changed schema.sql).
reference_structure() {
    if [ ! -s "$STRUCTURE" ]; then
        local scratch=${DB}_structure
        sql -c "DROP DATABASE IF EXISTS $scratch WITH (FORCE)"
        pg_create_plant_db "$DATA" "$PORT" "$scratch" >/dev/null
        structure "$scratch" >"$STRUCTURE.new"
        sql -c "DROP DATABASE $scratch WITH (FORCE)"
        mv "$STRUCTURE.new" "$STRUCTURE"
    fi
    cat "$STRUCTURE"
}

# The plant's tables and views that plant_db lacks or holds changed, one line each.
damaged_tables() {
    LC_ALL=C comm -23 <(reference_structure | LC_ALL=C sort) <(structure "$DB" | LC_ALL=C sort) | cut -d' ' -f1 | sort -u
}

database_state() {
    if [ -z "$(sql -c "SELECT 1 FROM pg_database WHERE datname = '$DB'")" ]; then
        echo missing
    elif [ "$(sql -c "SELECT shobj_description(oid, 'pg_database') FROM pg_database WHERE datname = '$DB'")" = "$MARK" ]; then
        if [ -n "$(damaged_tables)" ]; then echo damaged; else echo complete; fi
    elif [ "$(pg_psql "$DATA" "$PORT" -d "$DB" -At \
            -c "SELECT to_regclass('accounts_dep.smena') IS NOT NULL AND EXISTS (SELECT 1 FROM accounts_dep.smena)" \
            2>/dev/null)" = t ]; then
        # Made completely by an older set-up that did not mark it.
        echo unmarked
    else
        echo partial
    fi
}

# plant_db is built under another name and renamed when whole, so it is there completely or not
# at all.
create_database() {
    local building=${DB}_being_made
    echo "Creating the demo database $DB..."
    sql -c "DROP DATABASE IF EXISTS $building WITH (FORCE)"
    pg_create_plant_db "$DATA" "$PORT" "$building"
    "$here/load_demo.sh" "$DATA" "$PORT" "$building" small
    structure "$building" >"$STRUCTURE.new" && mv "$STRUCTURE.new" "$STRUCTURE"
    sql -c "COMMENT ON DATABASE $building IS '$MARK'"
    sql -c "DROP DATABASE IF EXISTS $DB WITH (FORCE)" -c "ALTER DATABASE $building RENAME TO $DB"
}

ensure_database() {
    sql -c "DROP DATABASE IF EXISTS ${DB}_being_made WITH (FORCE)"
    case "$(database_state)" in
    complete) ;;
    unmarked)
        sql -c "COMMENT ON DATABASE $DB IS '$MARK'"
        [ "$(database_state)" = complete ] || ensure_database
        ;;
    partial)
        echo "The demo database $DB was left unfinished by an earlier run; making it again."
        create_database
        ;;
    damaged)
        echo "The demo database $DB lacks or holds changed: $(damaged_tables | paste -sd, | sed 's/,/, /g');" \
             "making it again with fresh demo data."
        create_database
        ;;
    missing) create_database ;;
    esac
}

case "${1:-}" in
start)
    start_cluster
    ensure_database
    echo "demo server at $ADDR:$PORT, database $DB (folder $DIR)"
    ;;
reset)
    start_cluster
    create_database
    echo "demo server at $ADDR:$PORT, database $DB made afresh (folder $DIR)"
    ;;
stop)
    if running; then
        pg_cluster_stop "$DATA"
        echo "demo server stopped"
    fi
    ;;
idle)
    if running; then
        others=$(sql -c "SELECT count(*) FROM pg_stat_activity WHERE backend_type = 'client backend' AND pid <> pg_backend_pid()")
        if [ "$others" = 0 ]; then
            pg_cluster_stop "$DATA"
            echo "demo server stopped (./run.sh --keep leaves it running)"
        else
            echo "demo server left running: $others other connection(s) use it; ./run.sh --stop stops it"
        fi
    fi
    ;;
address)
    echo "$ADDR"
    ;;
*)
    sed -n '2,12p' "$0" >&2
    exit 2
    ;;
esac
