-- Demo plant: a generator that fills a plant database (database/schema.sql) with a plausible
-- machine-building plant — departments, staff positions, roles, product groups, products, operation
-- kinds, operation prices with their norms, workers, and a journal of production records with the
-- timesheet rows and household-work entries that belong to it.
--
-- Load this file as the owner role (sys) into a plant database, then call the generator with the
-- size wanted, e.g.
--     SELECT * FROM accounts_dep.generate_demo_data(40, 1300, 3);      -- small demo plant
--     SELECT * FROM accounts_dep.generate_demo_data(300, 22000, 3);    -- large benchmark plant
-- scripts/load_demo.sh does both. Afterwards
--     SELECT accounts_dep.check_demo_data();
-- counts the timesheet cells that disagree with the journal and the entries (0 when all agree).
--
-- The same arguments give the same rows: every choice is taken from a hash of the worker's number,
-- the day and a purpose number, never from random(). Only the dates depend on the day of the call:
-- the journal covers `months` calendar months and ends with the day `until` (today by default), so
-- a freshly started program already shows today's journal.

SET client_min_messages = warning;

-- A 31-bit hash of three integers (murmur-style mixing); the generator's only source of variety.
CREATE OR REPLACE FUNCTION accounts_dep.demo_hash(a bigint, b bigint DEFAULT 0, c bigint DEFAULT 0)
RETURNS integer LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    m constant bigint := 1540483477;   -- below 2^31, so h * m stays inside bigint
    h bigint := 2166136261;
BEGIN
    h := ((h # (a & 4294967295)) * m) & 4294967295;
    h := h # (h >> 13);
    h := ((h # (b & 4294967295)) * m) & 4294967295;
    h := h # (h >> 15);
    h := ((h # (c & 4294967295)) * m) & 4294967295;
    h := h # (h >> 13);
    h := (h * m) & 4294967295;
    h := h # (h >> 15);
    RETURN (h >> 1)::integer;
END $$;

-- Takes `count` ids from a sequence at once and returns the first of them.
CREATE OR REPLACE FUNCTION accounts_dep.demo_take_ids(seq text, count integer)
RETURNS integer LANGUAGE plpgsql AS $$
DECLARE
    first_id bigint;
BEGIN
    first_id := nextval(seq);
    IF count > 1 THEN
        PERFORM setval(seq, first_id + count - 1);
    END IF;
    RETURN first_id::integer;
END $$;

-- Fills the plant. workers: number of workers (1 to 20000); records_per_month: production records
-- of a whole month over the plant, roughly (a month that the period covers only in part gets its
-- share); months: calendar months covered, the last one being the month of `until`, which is filled
-- up to `until` itself. The database must not hold plant data yet, unless clear_existing is true:
-- then everything except the fixed household-work rows is removed first and the id sequences start
-- again, so that the ids come out the same as in a fresh database.
-- Returns the number of rows of each table filled.
CREATE OR REPLACE FUNCTION accounts_dep.generate_demo_data(
    workers integer,
    records_per_month integer,
    months integer,
    until date DEFAULT current_date,
    clear_existing boolean DEFAULT false)
RETURNS TABLE(table_name text, row_count bigint)
LANGUAGE plpgsql AS $$
DECLARE
    v_first date;
    v_products integer;
    v_hourly numeric;      -- price per hour of household work (the norm of the kind 7777)
    v_cols text;
    v_sums text;
    v_base integer;        -- first id taken from a sequence for a batch of rows
BEGIN
    IF workers IS NULL OR workers < 1 OR workers > 20000 THEN
        RAISE EXCEPTION 'workers must be between 1 and 20000, not %', workers;
    END IF;
    IF months IS NULL OR months < 1 OR months > 120 THEN
        RAISE EXCEPTION 'months must be between 1 and 120, not %', months;
    END IF;
    IF records_per_month IS NULL OR records_per_month < 0 THEN
        RAISE EXCEPTION 'records_per_month must not be negative';
    END IF;
    IF until IS NULL THEN
        RAISE EXCEPTION 'until must be a date';
    END IF;

    IF clear_existing THEN
        TRUNCATE accounts_dep.smena, accounts_dep.h_tabel, accounts_dep.fatigue,
                 accounts_dep.person, cmn_contractor.person, cmn_gds_and_srv.gds_and_srv,
                 cmn_classifier.item, cmn_department.department, hrms_staffpos.staffpos, adm_role.roles
            RESTART IDENTITY;
        -- The household-work kinds, their prices and their norms stay.
        DELETE FROM accounts_dep.norm WHERE o_id NOT IN (7777, 7778);
        DELETE FROM accounts_dep.oper WHERE id NOT IN (7777, 7778);
        DELETE FROM accounts_dep.vid_oper WHERE id NOT IN (7777, 7778);
        PERFORM setval(pg_get_serial_sequence('accounts_dep.norm', 'id'),
                       coalesce((SELECT max(id) FROM accounts_dep.norm), 0) + 1, false);
        PERFORM setval(pg_get_serial_sequence('accounts_dep.oper', 'id'), 10001, false);
        PERFORM setval(pg_get_serial_sequence('accounts_dep.vid_oper', 'id'), 1, false);
    ELSIF EXISTS (SELECT 1 FROM accounts_dep.person)
       OR EXISTS (SELECT 1 FROM accounts_dep.smena)
       OR EXISTS (SELECT 1 FROM accounts_dep.h_tabel)
       OR EXISTS (SELECT 1 FROM accounts_dep.fatigue)
       OR EXISTS (SELECT 1 FROM cmn_gds_and_srv.gds_and_srv)
       OR EXISTS (SELECT 1 FROM cmn_classifier.item)
       OR EXISTS (SELECT 1 FROM cmn_department.department)
       OR EXISTS (SELECT 1 FROM hrms_staffpos.staffpos)
       OR EXISTS (SELECT 1 FROM adm_role.roles)
       OR EXISTS (SELECT 1 FROM accounts_dep.vid_oper WHERE id NOT IN (7777, 7778))
       OR EXISTS (SELECT 1 FROM accounts_dep.oper WHERE id NOT IN (7777, 7778)) THEN
        RAISE EXCEPTION 'the database already holds plant data; call with clear_existing => true to replace it';
    END IF;

    v_first := (date_trunc('month', until) - make_interval(months => months - 1))::date;
    v_products := least(400, 16 + workers / 2);
    v_hourly := coalesce((SELECT min(price) FROM accounts_dep.norm WHERE o_id = 7777), 150)::numeric;

    -- Work tables of an earlier call in the same transaction.
    FOREACH v_cols IN ARRAY ARRAY['demo_kind', 'demo_group', 'demo_product', 'demo_ops', 'demo_worker', 'demo_wd'] LOOP
        IF to_regclass('pg_temp.' || v_cols) IS NOT NULL THEN
            EXECUTE 'DROP TABLE pg_temp.' || v_cols;
        END IF;
    END LOOP;

    -- Look-up tables of the worker dialog ------------------------------------------------------

    INSERT INTO cmn_department.department(id, id_branch, s_code, s_caption, s_description, id_parent) VALUES
        (1, 1, '01', 'Механический цех', 'Токарная и фрезерная обработка', NULL),
        (2, 1, '02', 'Сварочный цех', 'Сварка металлоконструкций', NULL),
        (3, 1, '03', 'Окрасочный участок', 'Грунтовка и окраска изделий', NULL),
        (4, 1, '04', 'Заготовительный участок', 'Резка и гибка металла', NULL),
        (5, 1, '05', 'Сборочный цех', 'Слесарная сборка узлов', NULL),
        (6, 1, '06', 'Инструментальный участок', 'Шлифовка и доводка', NULL);

    INSERT INTO hrms_staffpos.staffpos(id, id_department, s_code, s_caption, d_begin, d_end, s_description) VALUES
        (1, 1, '101', 'Токарь', date '2010-01-01', NULL, ''),
        (2, 1, '102', 'Фрезеровщик', date '2010-01-01', NULL, ''),
        (3, 2, '201', 'Электросварщик', date '2010-01-01', NULL, ''),
        (4, 3, '301', 'Маляр', date '2010-01-01', NULL, ''),
        (5, 4, '401', 'Резчик металла', date '2010-01-01', NULL, ''),
        (6, 4, '402', 'Гибщик', date '2010-01-01', NULL, ''),
        (7, 5, '501', 'Слесарь-сборщик', date '2010-01-01', NULL, ''),
        (8, 6, '601', 'Шлифовщик', date '2010-01-01', NULL, ''),
        (9, NULL, '901', 'Мастер смены', date '2010-01-01', NULL, ''),
        (10, NULL, '902', 'Кладовщик', date '2010-01-01', NULL, '');

    INSERT INTO adm_role.roles(id, s_name, s_caption, d_begin, d_end, b_active) VALUES
        (1, 'admin', 'Администратор', date '2010-01-01', NULL, 'true'),
        (2, 'accountant', 'Бухгалтер', date '2010-01-01', NULL, 'true'),
        (3, 'foreman', 'Мастер смены', date '2010-01-01', NULL, 'true'),
        (4, 'storekeeper', 'Кладовщик', date '2010-01-01', NULL, 'true');

    -- Product groups (level 2 of the classifier, under one level-1 item) -----------------------

    CREATE TEMP TABLE demo_group(g integer PRIMARY KEY, id integer, caption text, route integer[],
                                 massa_lo numeric, massa_hi numeric) ON COMMIT DROP;
    -- route: the kinds (numbers of demo_kind below) that products of the group pass through
    INSERT INTO demo_group VALUES
        (1, 101, 'Корпусные детали',   ARRAY[7, 2, 3, 4, 12, 9],       2.5, 35),
        (2, 102, 'Валы и оси',         ARRAY[7, 1, 2, 4],              0.8, 22),
        (3, 103, 'Кронштейны',         ARRAY[7, 6, 3, 5, 13, 10],      0.4, 6),
        (4, 104, 'Металлоконструкции', ARRAY[7, 6, 5, 13, 8, 12, 11],  15, 180),
        (5, 105, 'Крепёж',             ARRAY[7, 1, 3],                 0.02, 0.4),
        (6, 106, 'Фланцы',             ARRAY[7, 1, 3, 10],             0.9, 18),
        (7, 107, 'Ограждения',         ARRAY[7, 6, 5, 11],             4, 40),
        (8, 108, 'Рамы',               ARRAY[7, 5, 13, 8, 9],          25, 150);

    INSERT INTO cmn_classifier.item(id, id_classifier, id_level, s_code, s_caption, s_description,
                                    b_excluded, d_excluded_date, id_parent)
        VALUES (100, 1, 1, '01', 'Продукция завода', '', 'false', NULL, NULL);
    INSERT INTO cmn_classifier.item(id, id_classifier, id_level, s_code, s_caption, s_description,
                                    b_excluded, d_excluded_date, id_parent)
        SELECT id, 1, 2, '01.' || lpad(g::text, 2, '0'), caption, '', 'false', NULL, 100
          FROM demo_group ORDER BY g;

    -- Operation kinds: number, name, department whose workers do them --------------------------

    CREATE TEMP TABLE demo_kind(k integer PRIMARY KEY, id integer, name text, dept integer,
                                painting boolean, blank boolean) ON COMMIT DROP;
    INSERT INTO demo_kind(k, name, dept, blank) VALUES
        (1, 'Токарная', 1, false),
        (2, 'Фрезерная', 1, false),
        (3, 'Сверлильная', 1, false),
        (4, 'Шлифовальная', 6, false),
        (5, 'Сварка', 2, false),
        (6, 'Гибка', 4, true),
        (7, 'Резка', 4, true),
        (8, 'Слесарная сборка', 5, false),
        (9, 'Покраска эмалью', 3, false),
        (10, 'Окраска', 3, false),
        (11, 'Краска порошковая', 3, false),
        (12, 'Грунтовка', 3, false),
        (13, 'Зачистка швов', 2, false);
    -- The program treats a kind as painting when its name in upper case contains "КРАСКА".
    UPDATE demo_kind SET painting = upper(name) LIKE '%КРАСКА%';

    -- Ids come from the tables' own sequences, a batch at a time, so that rows added later by the
    -- program do not collide with them.
    v_base := accounts_dep.demo_take_ids(pg_get_serial_sequence('accounts_dep.vid_oper', 'id'),
                                         (SELECT count(*) FROM demo_kind)::integer);
    UPDATE demo_kind SET id = v_base + k - 1;
    INSERT INTO accounts_dep.vid_oper(id, vid) SELECT id, name FROM demo_kind ORDER BY k;

    -- Products: marks by group, mass of one piece --------------------------------------------

    CREATE TEMP TABLE demo_product ON COMMIT DROP AS
    SELECT p, g, i, NULL::integer AS id,
           CASE g
             WHEN 1 THEN 'Корпус КП-' || (100 + 3 * i)
             WHEN 2 THEN CASE WHEN i % 2 = 1 THEN 'Ось ' ELSE 'Вал ' END
                         || (ARRAY[20, 25, 30, 35, 40, 50])[1 + (i / 2) % 6] || 'х' || (80 + 20 * (i / 12))
             WHEN 3 THEN 'КР-' || (100 + i)
             WHEN 4 THEN CASE WHEN i % 2 = 1 THEN 'Стойка СТ-' || (20 + i) ELSE 'Балка БМ-' || (10 + i) END
             WHEN 5 THEN 'Болт М' || (ARRAY[8, 10, 12, 16, 20])[1 + i % 5] || 'х' || (20 + 10 * (i / 5))
             WHEN 6 THEN 'Фланец Ду' || (ARRAY[25, 32, 40, 50, 65, 80, 100, 125, 150, 200])[1 + i % 10]
                         || ' Ру' || (10 + 6 * (i / 10))
             WHEN 7 THEN 'Ограждение ОГ-' || i
             ELSE 'Рама РМ-' || i
           END AS marka
      FROM (SELECT p, 1 + (p - 1) % 8 AS g, 1 + (p - 1) / 8 AS i
              FROM generate_series(1, v_products) p) s;

    v_base := accounts_dep.demo_take_ids(pg_get_serial_sequence('cmn_gds_and_srv.gds_and_srv', 'id'), v_products);
    UPDATE demo_product SET id = v_base + p - 1;
    INSERT INTO cmn_gds_and_srv.gds_and_srv(id, s_caption, s_description, id_msm_bs, massa, id_class_item)
    SELECT d.id, d.marka, '', 6,
           round(grp.massa_lo + (grp.massa_hi - grp.massa_lo) * (accounts_dep.demo_hash(d.p, 0, 11) % 1000) / 1000.0, 3),
           grp.id
      FROM demo_product d JOIN demo_group grp ON grp.g = d.g
     ORDER BY d.p;

    -- Operation prices: each product passes through most of its group's route (at least two
    -- kinds); cutting and bending are paid as blanks, the rest as finished products. The lowest
    -- norm price, 2.5 to 120 roubles a piece, is written to cena and cena_new as well.

    CREATE TEMP TABLE demo_ops ON COMMIT DROP AS
    SELECT r.p, r.i_id, r.step, k.k, k.id AS vid, k.dept, k.painting, CASE WHEN k.blank THEN 1 ELSE 0 END AS naimen,
           round(2.5 + (accounts_dep.demo_hash(r.p, r.step, 21) % 1175001) / 10000.0, 4) AS price,
           1 + accounts_dep.demo_hash(r.p, r.step, 22) % 3 AS norms,
           NULL::integer AS o_id
      FROM (SELECT d.p, d.id AS i_id, s.step, grp.route[s.step] AS k
              FROM demo_product d
              JOIN demo_group grp ON grp.g = d.g
              CROSS JOIN LATERAL generate_subscripts(grp.route, 1) AS s(step)
             WHERE s.step <= 2 OR accounts_dep.demo_hash(d.p, s.step, 20) % 100 < 70) r
      JOIN demo_kind k ON k.k = r.k;

    v_base := accounts_dep.demo_take_ids(pg_get_serial_sequence('accounts_dep.oper', 'id'),
                                         (SELECT count(*) FROM demo_ops)::integer);
    UPDATE demo_ops d SET o_id = v_base + v.nr - 1
      FROM (SELECT p, step, row_number() OVER (ORDER BY p, step) AS nr FROM demo_ops) v
     WHERE v.p = d.p AND v.step = d.step;
    INSERT INTO accounts_dep.oper(id, vid, naimen, i_id, cena, cena_new)
    SELECT o_id, vid, naimen, i_id, price::double precision, price FROM demo_ops ORDER BY o_id;

    -- Norm rows: the first holds the lowest price; larger norms pay somewhat more a piece.
    INSERT INTO accounts_dep.norm(o_id, norma, prize, price)
    SELECT o.o_id,
           base.norma * n,
           (ARRAY[0, 5, 10, 15])[1 + accounts_dep.demo_hash(o.p, o.step * 4 + n, 24) % 4],
           round(o.price * (1 + 0.1 * (n - 1) + 0.05 * (n - 1) * (n - 1)), 4)::double precision
      FROM demo_ops o
      CROSS JOIN LATERAL (SELECT greatest(5, round(2400 / o.price / 5) * 5)::integer AS norma) base
      CROSS JOIN LATERAL generate_series(1, o.norms) n
     ORDER BY o.o_id, n;

    -- Workers: surname and initials, department caption as the position text ----------------

    v_base := accounts_dep.demo_take_ids('cmn_contractor.person_id_seq', workers);
    CREATE TEMP TABLE demo_worker ON COMMIT DROP AS
    WITH names AS (
        SELECT ARRAY['Иванов', 'Петров', 'Сидоров', 'Смирнов', 'Кузнецов', 'Попов', 'Васильев', 'Соколов',
                     'Михайлов', 'Новиков', 'Фёдоров', 'Морозов', 'Волков', 'Алексеев', 'Лебедев', 'Семёнов',
                     'Егоров', 'Павлов', 'Козлов', 'Степанов', 'Николаев', 'Орлов', 'Андреев', 'Макаров',
                     'Никитин', 'Захаров', 'Зайцев', 'Соловьёв', 'Борисов', 'Яковлев', 'Григорьев', 'Романов',
                     'Воробьёв', 'Сергеев', 'Кузьмин', 'Фролов', 'Александров', 'Дмитриев', 'Королёв', 'Гусев',
                     'Киселёв', 'Ильин', 'Максимов', 'Поляков', 'Сорокин', 'Виноградов', 'Ковалёв', 'Белов',
                     'Медведев', 'Антонов', 'Тарасов', 'Жуков', 'Баранов', 'Филиппов', 'Комаров', 'Давыдов',
                     'Иванова', 'Петрова', 'Смирнова', 'Кузнецова', 'Попова', 'Соколова', 'Лебедева', 'Козлова']
                   AS surname,
               ARRAY['А', 'Б', 'В', 'Г', 'Д', 'Е', 'И', 'К', 'Л', 'М', 'Н', 'О', 'П', 'Р', 'С', 'Т', 'Ф', 'Ю']
                   AS initial
    ), numbered AS (
        -- worker k (from 0): surname k mod 64; the pair of initials is a one-to-one function of
        -- k div 64 for each surname, so that no two workers share a name
        SELECT k, k % 64 AS s, k / 64 AS q,
               accounts_dep.demo_hash(k, 0, 31) % 100 AS dept_roll
          FROM generate_series(0, workers - 1) k
    )
    SELECT n.k + 1 AS wk,
           v_base + n.k AS w_id,
           names.surname[1 + n.s] || ' ' || names.initial[1 + (n.q % 18 + 7 * n.s) % 18] || '.'
               || names.initial[1 + (n.q / 18 + 5 * (n.q % 18) + 3 * n.s) % 18] || '.' AS fio,
           CASE WHEN n.dept_roll < 30 THEN 1 WHEN n.dept_roll < 48 THEN 2 WHEN n.dept_roll < 63 THEN 3
                WHEN n.dept_roll < 78 THEN 4 WHEN n.dept_roll < 93 THEN 5 ELSE 6 END AS dept,
           -- two workers in five stay on shift 1, the others change shift every week
           accounts_dep.demo_hash(n.k, 0, 32) % 5 >= 2 AS rotating,
           accounts_dep.demo_hash(n.k, 0, 33) % 3 AS shift_offset,
           -- about a third of the workers are also given household and average-piecework days
           accounts_dep.demo_hash(n.k, 0, 34) % 10 < 3 AS odd_jobs
      FROM numbered n CROSS JOIN names
     ORDER BY n.k;

    INSERT INTO accounts_dep.person(id, fio, s_staffpos_hl)
    SELECT w.w_id, w.fio, dep.s_caption
      FROM demo_worker w JOIN cmn_department.department dep ON dep.id = w.dept
     ORDER BY w.wk;

    -- Worker days: who works on which day, in which shift, and at what -----------------------
    -- Weekdays: 5 in 100 absent; workers with odd jobs spend some days on household work (h) or
    -- on work paid at the average piecework rate (a); otherwise piecework (p). On Saturdays one in
    -- ten works (a worker with odd jobs sometimes on household work), on Sundays three in a hundred.

    CREATE TEMP TABLE demo_wd ON COMMIT DROP AS
    SELECT w.wk, w.w_id, w.dept, w.odd_jobs, d.d, d.dn, d.dow >= 6 AS holiday,
           CASE WHEN w.rotating THEN 1 + (w.shift_offset + d.dn / 7) % 3 ELSE 1 END AS shift,
           CASE WHEN d.dow <= 5 THEN
                     CASE WHEN u < 50 THEN NULL
                          WHEN w.odd_jobs AND u < 90 THEN 'h'
                          WHEN w.odd_jobs AND u < 115 THEN 'a'
                          ELSE 'p' END
                WHEN d.dow = 6 THEN
                     CASE WHEN u >= 100 THEN NULL WHEN w.odd_jobs AND u < 30 THEN 'h' ELSE 'p' END
                ELSE CASE WHEN u < 30 THEN 'p' END
           END AS job,
           0 AS n, 0 AS ot
      FROM demo_worker w
      CROSS JOIN (SELECT v_first + i AS d,
                         v_first + i - date '2000-01-03' AS dn,      -- days since a Monday
                         extract(isodow FROM v_first + i)::integer AS dow
                    FROM generate_series(0, until - v_first) i) d
      CROSS JOIN LATERAL (SELECT accounts_dep.demo_hash(w.wk, d.dn, 1) % 1000 AS u) r;
    DELETE FROM demo_wd WHERE job IS NULL;

    -- Overtime: one record of 2 to 4 hours on 6 in 100 piecework weekdays.
    UPDATE demo_wd SET ot = 2 + accounts_dep.demo_hash(wk, dn, 6) % 3
     WHERE job = 'p' AND NOT holiday AND accounts_dep.demo_hash(wk, dn, 5) % 100 < 6;

    -- Records per piecework day, so that a month holds about records_per_month records (its share
    -- of them when the period covers only part of it); 1 to 8, as many as the department's
    -- operation prices allow.
    UPDATE demo_wd wd SET n = least(c.cnt, 8, greatest(1,
               floor(m.avg_n)::integer
               + CASE WHEN accounts_dep.demo_hash(wd.wk, wd.dn, 4) % 10000 < (m.avg_n - floor(m.avg_n)) * 10000
                      THEN 1 ELSE 0 END))
      FROM (SELECT x.mon,
                   greatest(1.0, (records_per_month::numeric
                                  * (least(until, x.next_mon - 1) - x.mon + 1) / (x.next_mon - x.mon)
                                  - sum(CASE WHEN x.ot > 0 THEN 1 ELSE 0 END))
                                 / nullif(sum(CASE WHEN x.job = 'p' THEN 1 ELSE 0 END), 0)) AS avg_n
              FROM (SELECT y.*, date_trunc('month', y.d)::date AS mon,
                           (date_trunc('month', y.d) + interval '1 month')::date AS next_mon
                      FROM demo_wd y) x
             GROUP BY x.mon, x.next_mon) m,
           (SELECT dept, count(*) AS cnt FROM demo_ops GROUP BY dept) c
     WHERE wd.job = 'p' AND date_trunc('month', wd.d)::date = m.mon AND c.dept = wd.dept;
    -- A department without operation prices (a very small plant) has no piecework.
    UPDATE demo_wd SET job = 'h' WHERE job = 'p' AND n = 0;
    UPDATE demo_wd SET ot = 0 WHERE job <> 'p';

    -- Production records ----------------------------------------------------------------------
    -- A worker keeps to a few neighbouring operation prices of the department for three days at a
    -- time; the records of one day use different operation prices, so none repeats the key
    -- (worker, operation price, product, date, shift, colour) that the program keeps unique.
    -- The shift's eight hours are shared among the day's records.

    INSERT INTO accounts_dep.smena(w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, "time", vvod, ok,
                                   prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
    SELECT r.w_id, o.i_id, o.o_id, r.kol_vo,
           CASE WHEN accounts_dep.demo_hash(r.wk, r.dn, 100 + r.j) % 100 < 8
                THEN least(r.kol_vo, 1 + accounts_dep.demo_hash(r.wk, r.dn, 120 + r.j) % 3) ELSE 0 END,
           r.d, r.mode,
           round(o.price * CASE WHEN r.holiday THEN 2 ELSE 1 END
                         * CASE r.mode WHEN 3 THEN 1.2 WHEN 4 THEN 1.5 ELSE 1 END, 4)::double precision,
           CASE WHEN o.painting THEN 1 + accounts_dep.demo_hash(r.wk, r.dn, 140 + r.j) % 20 ELSE 0 END,
           r.hours, r.d::timestamp,
           CASE WHEN r.d > until - 3 THEN 'no'
                WHEN accounts_dep.demo_hash(r.wk, r.dn, 160 + r.j) % 100 < 3 THEN 'да'
                WHEN accounts_dep.demo_hash(r.wk, r.dn, 160 + r.j) % 100 < 5 THEN 'no'
                ELSE 'ok' END,
           0, 0, 0, 0, 0, 0
      FROM (SELECT x.*,
                   greatest(1, round(x.hours * (180 + accounts_dep.demo_hash(x.wk, x.dn, 80 + x.j) % 220)
                                     / op.price))::integer AS kol_vo,
                   op.o_id AS op_id
              FROM (SELECT wd.wk, wd.w_id, wd.dept, wd.d, wd.dn, wd.holiday, j, wd.shift AS mode,
                           CASE WHEN wd.n = 1 THEN 8
                                WHEN wd.n = 2 THEN CASE WHEN j = 1 THEN 4 + t.first_part ELSE 4 - t.first_part END
                                ELSE 8 / wd.n + CASE WHEN j <= 8 % wd.n THEN 1 ELSE 0 END END AS hours,
                           wd.base
                      FROM (SELECT wd0.*, accounts_dep.demo_hash(wd0.wk, wd0.dn / 3, 8) % 100000 AS base
                              FROM demo_wd wd0) wd
                      CROSS JOIN LATERAL generate_series(1, wd.n) j
                      CROSS JOIN LATERAL (SELECT accounts_dep.demo_hash(wd.wk, wd.dn, 9) % 3 AS first_part) t
                     WHERE wd.job = 'p'
                    UNION ALL
                    SELECT wd.wk, wd.w_id, wd.dept, wd.d, wd.dn, wd.holiday, wd.n + 1, 4, wd.ot,
                           accounts_dep.demo_hash(wd.wk, wd.dn / 3, 8) % 100000
                      FROM demo_wd wd
                     WHERE wd.ot > 0) x
              JOIN (SELECT dept, row_number() OVER (PARTITION BY dept ORDER BY o_id) - 1 AS idx,
                           count(*) OVER (PARTITION BY dept) AS cnt, o_id, price
                      FROM demo_ops) op
                ON op.dept = x.dept AND op.idx = (x.base + x.j - 1) % op.cnt) r
      JOIN demo_ops o ON o.o_id = r.op_id
     ORDER BY r.d, r.mode, r.w_id, r.j;

    -- Household-work and average-piecework entries ------------------------------------------
    -- Household work is paid by the hour at the norm of the kind 7777, doubled on a day off and
    -- raised by a fifth at night (shift 3). Average-piecework work is booked on the product group
    -- the worker made most hours on in that month and paid at his piecework earnings per hour on
    -- that group, as the program's own computation of average piecework prices does.

    INSERT INTO accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price,
                                     i_holiday, i_night)
    SELECT coalesce(CASE WHEN wd.job = 'a' THEN top.grp END,
                    (SELECT id FROM demo_group WHERE g = 1 + accounts_dep.demo_hash(wd.wk, wd.dn, 41) % 8)),
           CASE WHEN wd.job = 'h' THEN 7777 ELSE 7778 END,
           wd.w_id, wd.d, extract(month FROM wd.d)::integer, extract(year FROM wd.d)::integer, 1,
           CASE WHEN wd.job = 'h' AND accounts_dep.demo_hash(wd.wk, wd.dn, 42) % 4 = 0 THEN 4 ELSE 8 END,
           CASE WHEN wd.job = 'h'
                THEN round(v_hourly * CASE WHEN wd.holiday THEN 2 ELSE 1 END
                                    * CASE WHEN wd.shift = 3 THEN 1.2 ELSE 1 END, 4)
                ELSE 0 END,
           CASE WHEN wd.holiday THEN 1 ELSE 0 END,
           CASE WHEN wd.shift = 3 THEN 1 ELSE 0 END
      FROM demo_wd wd
      LEFT JOIN LATERAL (
            SELECT g.id_class_item AS grp
              FROM accounts_dep.smena s JOIN cmn_gds_and_srv.gds_and_srv g ON g.id = s.i_id
             WHERE s.w_id = wd.w_id
               AND s.data >= date_trunc('month', wd.d) AND s.data < date_trunc('month', wd.d) + interval '1 month'
               AND wd.job = 'a'
             GROUP BY g.id_class_item
             ORDER BY sum(s."time") DESC, g.id_class_item
             LIMIT 1) top ON true
     WHERE wd.job IN ('h', 'a')
     ORDER BY wd.d, wd.w_id;

    UPDATE accounts_dep.fatigue f
       SET price = coalesce((
            SELECT CASE WHEN coalesce(sum(s."time"), 0) = 0 THEN 0
                        ELSE (sum((s.kol_vo - s.brak) * (s.cena + s.cena * f.i_holiday)) / sum(s."time"))::numeric(10, 2)
                   END
              FROM accounts_dep.smena s JOIN cmn_gds_and_srv.gds_and_srv g ON g.id = s.i_id
             WHERE g.id_class_item = f.id_nom AND s.w_id = f.id_p
               AND s.data >= make_date(f.i_year, f.i_mnth, 1)
               AND s.data < make_date(f.i_year, f.i_mnth, 1) + interval '1 month'), 0)
     WHERE f.id_o = 7778;

    -- Timesheet rows: day cell = hours of the worker's records (entries) of that day ----------

    SELECT string_agg('d' || n, ', ' ORDER BY n),
           string_agg(format('sum(h) FILTER (WHERE dd = %s)', n), ', ' ORDER BY n)
      INTO v_cols, v_sums
      FROM generate_series(1, 31) n;

    EXECUTE format(
        'INSERT INTO accounts_dep.h_tabel(w_id, smena, i_type, i_night, month, year, %s)
         SELECT w_id, smena, 0, 0, mon, yr, %s
           FROM (SELECT w_id, smena, extract(month FROM data)::integer AS mon, extract(year FROM data)::integer AS yr,
                        extract(day FROM data)::integer AS dd, sum("time") AS h
                   FROM accounts_dep.smena GROUP BY w_id, smena, data) s
          GROUP BY yr, mon, smena, w_id
          ORDER BY yr, mon, smena, w_id', v_cols, v_sums);

    EXECUTE format(
        'INSERT INTO accounts_dep.h_tabel(w_id, smena, i_type, i_night, month, year, %s)
         SELECT w_id, 0, kind, night, mon, yr, %s
           FROM (SELECT id_p::integer AS w_id, id_o::integer AS kind, i_night AS night,
                        extract(month FROM d_date)::integer AS mon, extract(year FROM d_date)::integer AS yr,
                        extract(day FROM d_date)::integer AS dd, sum(cnt) AS h
                   FROM accounts_dep.fatigue GROUP BY id_p, id_o, i_night, d_date) f
          GROUP BY yr, mon, kind, night, w_id
          ORDER BY yr, mon, kind, night, w_id', v_cols, v_sums);

    -- Fresh statistics, so that the program's statements get sensible plans at once.
    ANALYZE accounts_dep.person, cmn_contractor.person, cmn_gds_and_srv.gds_and_srv, cmn_classifier.item,
            accounts_dep.vid_oper, accounts_dep.oper, accounts_dep.norm, accounts_dep.smena,
            accounts_dep.h_tabel, accounts_dep.fatigue;

    RETURN QUERY
        SELECT 'cmn_department.department', count(*) FROM cmn_department.department
        UNION ALL SELECT 'hrms_staffpos.staffpos', count(*) FROM hrms_staffpos.staffpos
        UNION ALL SELECT 'adm_role.roles', count(*) FROM adm_role.roles
        UNION ALL SELECT 'cmn_classifier.item', count(*) FROM cmn_classifier.item
        UNION ALL SELECT 'cmn_gds_and_srv.gds_and_srv', count(*) FROM cmn_gds_and_srv.gds_and_srv
        UNION ALL SELECT 'accounts_dep.vid_oper', count(*) FROM accounts_dep.vid_oper
        UNION ALL SELECT 'accounts_dep.oper', count(*) FROM accounts_dep.oper
        UNION ALL SELECT 'accounts_dep.norm', count(*) FROM accounts_dep.norm
        UNION ALL SELECT 'accounts_dep.person', count(*) FROM accounts_dep.person
        UNION ALL SELECT 'accounts_dep.smena', count(*) FROM accounts_dep.smena
        UNION ALL SELECT 'accounts_dep.fatigue', count(*) FROM accounts_dep.fatigue
        UNION ALL SELECT 'accounts_dep.h_tabel', count(*) FROM accounts_dep.h_tabel;
END $$;

-- Counts the timesheet cells that break the day-cell rule: for every production row (w_id, smena
-- 1 to 4, i_type 0, i_night 0, month, year) cell d{n} must be the sum of "time" of the worker's
-- records of that day and shift, and for every household row (smena 0, i_type = kind, i_night) the
-- sum of cnt of the worker's entries of that kind, flag and day; days without records or entries
-- are empty. Missing and surplus cells count one each; so does every duplicate row of a key and
-- every row without any hours. 0 means the timesheets agree with the journal and the entries.
CREATE OR REPLACE FUNCTION accounts_dep.check_demo_data()
RETURNS bigint LANGUAGE sql STABLE AS $$
    WITH expected AS (
        SELECT w_id, smena::integer AS smena, 0 AS i_type, 0 AS i_night,
               extract(year FROM data)::integer AS yr, extract(month FROM data)::integer AS mon,
               extract(day FROM data)::integer AS dd, sum("time")::integer AS h
          FROM accounts_dep.smena
         GROUP BY w_id, smena, data
        UNION ALL
        SELECT id_p::integer, 0, id_o::integer, i_night,
               extract(year FROM d_date)::integer, extract(month FROM d_date)::integer,
               extract(day FROM d_date)::integer, sum(cnt)::integer
          FROM accounts_dep.fatigue
         GROUP BY id_p, id_o, i_night, d_date
    ), actual AS (
        SELECT t.w_id, t.smena::integer AS smena, t.i_type, t.i_night, t.year::integer AS yr,
               t.month::integer AS mon, c.dd::integer AS dd, c.h::integer AS h
          FROM accounts_dep.h_tabel t
          CROSS JOIN LATERAL unnest(ARRAY[t.d1, t.d2, t.d3, t.d4, t.d5, t.d6, t.d7, t.d8, t.d9, t.d10,
                                          t.d11, t.d12, t.d13, t.d14, t.d15, t.d16, t.d17, t.d18, t.d19,
                                          t.d20, t.d21, t.d22, t.d23, t.d24, t.d25, t.d26, t.d27, t.d28,
                                          t.d29, t.d30, t.d31]) WITH ORDINALITY AS c(h, dd)
         WHERE c.h IS NOT NULL
    )
    SELECT (SELECT count(*)
              FROM expected e
              FULL JOIN actual a
                ON a.w_id = e.w_id AND a.smena = e.smena AND a.i_type = e.i_type AND a.i_night = e.i_night
               AND a.yr = e.yr AND a.mon = e.mon AND a.dd = e.dd
             WHERE e.h IS DISTINCT FROM a.h)
         + (SELECT count(*) - count(DISTINCT (w_id, smena, i_type, i_night, month, year)) FROM accounts_dep.h_tabel)
         + (SELECT count(*) FROM accounts_dep.h_tabel
             WHERE num_nonnulls(d1, d2, d3, d4, d5, d6, d7, d8, d9, d10, d11, d12, d13, d14, d15, d16, d17,
                                d18, d19, d20, d21, d22, d23, d24, d25, d26, d27, d28, d29, d30, d31) = 0);
$$;
