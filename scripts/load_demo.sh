#!/usr/bin/env bash
# Fills an existing plant database (database/schema.sql already loaded, no plant data yet) with the
# demo plant of database/demo_data.sql, as the role sys, and checks that its timesheets agree with
# its journal.
#   scripts/load_demo.sh <socket_dir> <port> <dbname> [small|large|x4|x16] [replace]
#     small    40 workers, about 1,300 records a month, 3 months up to today (the default)
#     large    300 workers, about 22,000 records a month, 3 months up to today (benchmarks)
#     x4, x16  the large plant 4 and 16 times over: 1,200 or 4,800 workers, 88,000 or 352,000 records
#              a month (the benchmarks' scaling rows)
#     replace  remove the plant data the database holds first (the household-work rows stay)
# <socket_dir> is the cluster's data directory, whose socket the superuser reaches (pg_cluster.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/pg_cluster.sh"

usage() {
    echo "usage: $0 <socket_dir> <port> <dbname> [small|large|x4|x16] [replace]" >&2
    exit 2
}

[ $# -ge 3 ] && [ $# -le 5 ] || usage
dir=$1 port=$2 db=$3 size=${4:-small} replace=false
case "$size" in
small) args="40, 1300, 3" ;;
large) args="300, 22000, 3" ;;
x4) args="1200, 88000, 3" ;;
x16) args="4800, 352000, 3" ;;
*) usage ;;
esac
case "${5:-}" in
"") ;;
replace) replace=true ;;
*) usage ;;
esac

started=$(date +%s)
pg_psql "$dir" "$port" -d "$db" \
    -c "SET ROLE sys" \
    -f - \
    -c "SELECT * FROM accounts_dep.generate_demo_data($args, clear_existing => $replace)" \
    <"$here/../database/demo_data.sql"
mismatches=$(pg_psql "$dir" "$port" -d "$db" -At -c "SET ROLE sys" -c "SELECT accounts_dep.check_demo_data()")
if [ "$mismatches" != 0 ]; then
    echo "the demo timesheets disagree with the journal in $mismatches cells" >&2
    exit 1
fi
echo "demo plant ($size) loaded into $db in $(( $(date +%s) - started )) s"
