#!/usr/bin/env bash
# Compares the statements two runs of the test suite sent (TABEL_TEST_STATEMENT_LOG=<folder>):
# per test binary, the statements of each test function in their order. Prints the differences
# and exits 1 when there are any. Usage: scripts/compare_statement_logs.sh <before> <after>
set -euo pipefail
before=$1 after=$2
status=0
for f in "$before"/*.log; do
    binary=$(basename "$f" | cut -d. -f1)
    other=$(ls "$after"/"$binary".*.log 2>/dev/null | head -1 || true)
    if [ -z "$other" ]; then
        echo "$binary: no statements in $after"
        status=1
        continue
    fi
    if ! diff -q "$f" "$other" >/dev/null; then
        # Tests that play two workstations at once on threads interleave their statements as the
        # threads run: the same statements in another order there is no difference.
        if diff -q <(sort "$f") <(sort "$other") >/dev/null; then
            echo "$binary: the same statements; their order differs only in" \
                $(diff "$f" "$other" | grep -E '^[<>]' | cut -c3- | cut -f1 | sort -u)
        else
            echo "$binary: differs"
            diff "$f" "$other" | head -20
            status=1
        fi
    fi
done
for f in "$after"/*.log; do
    binary=$(basename "$f" | cut -d. -f1)
    ls "$before"/"$binary".*.log >/dev/null 2>&1 || { echo "$binary: no statements in $before"; status=1; }
done
[ $status = 0 ] && echo "no statement differs"
exit $status
