#!/usr/bin/env bash
# Shows what each index of database/schema.sql is worth on a plant database: for each, a statement
# the program sends that relies on it, timed by EXPLAIN ANALYZE with the index and without it (the
# index dropped inside a transaction that is rolled back, so nothing changes). For the plant's
# administrator; the demo plants of scripts/load_demo.sh will do (x16 for a large plant).
#   scripts/index_timings.sh <socket_dir> <port> <dbname>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/pg_cluster.sh"

[ $# -eq 3 ] || { echo "usage: $0 <socket_dir> <port> <dbname>" >&2; exit 2; }
dir=$1 port=$2 db=$3

q() { pg_psql "$dir" "$port" -d "$db" -At -c "$1"; }

# The busiest day of the journal, its month, and a worker with records and entries on it.
day=$(q "select to_char(data, 'DD.MM.YYYY') from accounts_dep.smena group by data order by count(*) desc, data limit 1")
month=${day:3:2} year=${day:6:4}
first="01.$month.$year"
next=$(q "select to_char(to_date('$first', 'DD.MM.YYYY') + interval '1 month', 'DD.MM.YYYY')")
worker=$(q "select w_id from accounts_dep.smena where data = to_date('$day', 'DD.MM.YYYY') and smena = 1 order by w_id limit 1")
entryDay=$(q "select coalesce(to_char(max(d_date), 'DD.MM.YYYY'), '$day') from accounts_dep.fatigue where d_date < to_date('$next', 'DD.MM.YYYY')")
echo "database $db: busiest day $day, month $first to $next, worker $worker, household entries of $entryDay"

journal="select smena.id, smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, smena.cena, person.s_caption fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen, smena.brak, smena.kol_vo::numeric, round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.prize, color,time, smena.ok, vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use from cmn_contractor.person person, accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or s_code::t_id=w_id) and oper.vid=vid_oper.id and smena.smena=1 and smena.data='$day' and ok!='h' order by fio, izdel.marka, vid_oper.vid, oper.naimen, color"
dayQuery="select smena, w_id, sum(time) as tim from accounts_dep.smena where data='$day' group by smena,w_id"
cellHours="select sum(time) as tim from accounts_dep.smena where w_id=$worker and smena=1 and data=to_date('$day', 'DD.MM.YYYY') group by w_id, smena, data"
rowCount="select count(w_id) as cnt from accounts_dep.h_tabel where w_id=$worker and smena=1 and month=${month#0} and year=$year"
householdList="select distinct vo.vid, p.fio, i.s_caption, (f.cnt*f.price) as summ, f.*, case when f.i_holiday=0 then '' else '+' end as s_holiday, case when f.i_night=0 then '' else '+' end as s_night from accounts_dep.fatigue f, cmn_classifier.item i, accounts_dep.person p,accounts_dep.vid_oper vo, accounts_dep.oper o where f.id_nom =i.id and p.id=f.id_p and vo.id = f.id_o and o.i_id >=7777 and o.vid >=7777 and f.d_date = '$entryDay' order by p.fio, f.id"
householdCell="select sum(f.cnt) as tim from accounts_dep.fatigue f where f.id_p =$worker and f.id_o=7777 and i_night=0 and f.d_date =to_date('$entryDay', 'DD.MM.YYYY') group by f.id_p, f.d_date"
sub() { echo "(select coalesce(sum($1),0)::numeric(10,2) from accounts_dep.fatigue f where f.d_date<'$next' and f.d_date>='$first' and f.id_p=smena.w_id and f.id_o=$2 and f.i_night=$3)"; }
report="select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, sum(time) as sum_time, sum(smena.kol_vo)::numeric as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)* smena.cena) as summa, color, sum(smena.prize*(kol_vo-brak)*smena.cena/100) as s_prize, $(sub f.cnt*f.price 7777 0), $(sub f.cnt*f.price 7777 1), $(sub f.cnt*f.price 7778 0), $(sub f.cnt*f.price 7778 1), $(sub f.cnt 7777 0), $(sub f.cnt 7777 1), $(sub f.cnt 7778 0), $(sub f.cnt 7778 1) from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where smena.o_id=oper.id and smena.w_id=s_code::integer and smena.i_id=izdel.id and smena.o_id=oper.id and w_id=s_code::integer and oper.vid=vid_oper.id and smena.data<'$next' and smena.data>='$first' group by fio, marka,vid_oper.vid, oper.naimen, color, w_id order by fio, marka, vid_oper.vid, oper.naimen"

# Execution time of a statement in ms, the better of two runs; "over 60 s" when it takes longer.
timed() {
    local setup=$1 sql=$2 best="" t
    for _ in 1 2; do
        t=$(pg_psql "$dir" "$port" -d "$db" -At -c "begin" -c "set local statement_timeout = '60s'" -c "set local jit = off" \
                -c "$setup" -c "explain (analyze, timing off) $sql" -c "rollback" 2>/dev/null |
            sed -n 's/^Execution Time: \([0-9.]*\) ms$/\1/p') || true
        [ -n "$t" ] || { echo "over 60 s"; return; }
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
    done
    printf '%.1f ms' "$best"
}

printf '%-38s %-44s %14s %14s\n' index statement with without
row() {
    local index=$1 name=$2 sql=$3
    printf '%-38s %-44s %14s %14s\n' "$index" "$name" "$(timed "select 1" "$sql")" "$(timed "drop index $index" "$sql")"
}
row accounts_dep.smena_worker_idx "journal of shift 1 (join on the person's code)" "$journal"
row accounts_dep.smena_worker_idx "day cell: a worker's hours of a day" "$cellHours"
row accounts_dep.smena_data_idx "month rebuild: a day's hours" "$dayQuery"
row accounts_dep.h_tabel_key_idx "day cell: the worker's timesheet row" "$rowCount"
row accounts_dep.fatigue_date_idx "household work of a date" "$householdList"
row accounts_dep.fatigue_worker_idx "household day cell" "$householdCell"
row accounts_dep.fatigue_worker_idx "detailed report by workers, a month" "$report"
