-- Server side of the plant database as the piecework program expects to find it.
-- On the plant server these objects belong to the accounting software; this file recreates them for
-- the demo database and the tests. The program itself creates no tables.
-- Run as the owner role (sys) in a UTF8 database.

SET client_min_messages = warning;

-- Worker ids are kept as text codes by the accounting software and cast in statements.
CREATE DOMAIN public.t_id AS integer;
CREATE DOMAIN public.t_integer AS integer;

CREATE SCHEMA accounts_dep;
CREATE SCHEMA cmn_contractor;
CREATE SCHEMA cmn_classifier;
CREATE SCHEMA cmn_gds_and_srv;
CREATE SCHEMA hrms_staffpos;
CREATE SCHEMA cmn_department;
CREATE SCHEMA adm_role;

-- Accounting software's own tables -------------------------------------------------------------

CREATE TABLE cmn_contractor.person (
    id        serial PRIMARY KEY,
    s_caption varchar(254),
    -- holds a worker id as text; statements cast it row by row, so only digits or null are allowed
    s_code    text CHECK (s_code IS NULL OR s_code ~ '^[0-9]+$')
);

CREATE TABLE cmn_classifier.item (
    id              numeric(15) PRIMARY KEY,
    id_classifier   numeric(15),
    id_level        numeric(15),
    s_code          varchar(254),
    s_caption       varchar(254),
    s_description   varchar(4000),
    b_excluded      varchar(5),
    d_excluded_date date,
    id_parent       numeric(15)
);

CREATE SEQUENCE cmn_gds_and_srv.gds_and_srv_id_seq;
CREATE TABLE cmn_gds_and_srv.gds_and_srv (
    id            numeric(15) PRIMARY KEY DEFAULT nextval('cmn_gds_and_srv.gds_and_srv_id_seq'),
    s_caption     text,
    s_description text,
    id_msm_bs     numeric(15),
    massa         numeric(28, 6),
    id_class_item numeric(15)
);
ALTER SEQUENCE cmn_gds_and_srv.gds_and_srv_id_seq OWNED BY cmn_gds_and_srv.gds_and_srv.id;

CREATE TABLE hrms_staffpos.staffpos (
    id            numeric(15) PRIMARY KEY,
    id_department numeric(15),
    s_code        varchar(254),
    s_caption     varchar(254),
    d_begin       date,
    d_end         date,
    s_description varchar(4000)
);

CREATE TABLE cmn_department.department (
    id            numeric(15) PRIMARY KEY,
    id_branch     numeric(15),
    s_code        varchar(254),
    s_caption     varchar(254),
    s_description varchar(4000),
    id_parent     numeric(15)
);

CREATE TABLE adm_role.roles (
    id        numeric(15) PRIMARY KEY,
    s_name    varchar(30),
    s_caption varchar(254),
    d_begin   date,
    d_end     date,
    b_active  varchar(5)
);

-- Piecework accounting tables --------------------------------------------------------------------

-- Workers share the id space of cmn_contractor.person: a worker written here is mirrored there
-- under the same id with s_code = id, so that every join on "id or s_code" finds exactly one person.
CREATE TABLE accounts_dep.person (
    id            integer PRIMARY KEY DEFAULT nextval('cmn_contractor.person_id_seq'),
    fio           varchar(254),
    s_staffpos_hl varchar(254)
);

CREATE FUNCTION accounts_dep.person_mirror() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'INSERT' THEN
        INSERT INTO cmn_contractor.person(id, s_caption, s_code) VALUES (NEW.id, NEW.fio, NEW.id::text);
    ELSIF TG_OP = 'UPDATE' THEN
        UPDATE cmn_contractor.person SET id = NEW.id, s_caption = NEW.fio, s_code = NEW.id::text
         WHERE id = OLD.id;
    ELSE
        DELETE FROM cmn_contractor.person WHERE id = OLD.id;
        RETURN OLD;
    END IF;
    RETURN NEW;
END $$;
CREATE TRIGGER person_mirror AFTER INSERT OR UPDATE OR DELETE ON accounts_dep.person
    FOR EACH ROW EXECUTE FUNCTION accounts_dep.person_mirror();

-- Products are written to the goods table of the accounting software and read through this view;
-- the product group doubles as the nomenclature item of household-work entries.
CREATE VIEW accounts_dep.izdel AS
    SELECT g.id,
           g.s_caption::varchar(254)  AS marka,
           grp.s_caption::varchar(255) AS nom,
           g.massa,
           g.id_class_item,
           g.id_class_item             AS id_nom
      FROM cmn_gds_and_srv.gds_and_srv g
      LEFT JOIN cmn_classifier.item grp ON grp.id = g.id_class_item;

CREATE SEQUENCE accounts_dep.vid_oper_id_seq;
CREATE TABLE accounts_dep.vid_oper (
    id  integer PRIMARY KEY DEFAULT nextval('accounts_dep.vid_oper_id_seq'),
    vid char(128)
);
ALTER SEQUENCE accounts_dep.vid_oper_id_seq OWNED BY accounts_dep.vid_oper.id;

-- Ordinary operation prices are numbered from 10001 so that the sequence never reaches the
-- fixed ids 7777 and 7778 of the household-work prices below.
CREATE SEQUENCE accounts_dep.oper_id_seq START 10001;
CREATE TABLE accounts_dep.oper (
    id       integer PRIMARY KEY DEFAULT nextval('accounts_dep.oper_id_seq'),
    vid      integer,
    naimen   integer,
    i_id     integer,
    cena     double precision,
    cena_new numeric(19, 4)
);
ALTER SEQUENCE accounts_dep.oper_id_seq OWNED BY accounts_dep.oper.id;

CREATE TABLE accounts_dep.norm (
    id    serial PRIMARY KEY,
    o_id  integer,
    norma integer,
    prize integer,
    price double precision
);

CREATE TABLE accounts_dep.smena (
    id            serial PRIMARY KEY,
    w_id          integer,
    i_id          integer,
    o_id          integer,
    kol_vo        integer,
    brak          integer,
    data          date,
    smena         integer,
    cena          double precision,
    color         integer,
    "time"        integer,
    vvod          timestamp,
    ok            char(2),
    prize         double precision,
    id_doc        numeric(15),
    id_doc_item   numeric(15),
    f_gds_qty_use double precision,
    id_gds_use    numeric(15),
    id_cons_use   numeric(15)
);
CREATE INDEX smena_data_idx ON accounts_dep.smena (data, smena);
CREATE INDEX smena_worker_idx ON accounts_dep.smena (w_id, data);

CREATE TABLE accounts_dep.h_tabel (
    id      serial PRIMARY KEY,
    w_id    integer,
    smena   smallint DEFAULT 0,
    i_type  integer DEFAULT 0,
    i_night integer DEFAULT 0,
    month   smallint,
    year    smallint,
    d1 smallint, d2 smallint, d3 smallint, d4 smallint, d5 smallint, d6 smallint, d7 smallint,
    d8 smallint, d9 smallint, d10 smallint, d11 smallint, d12 smallint, d13 smallint, d14 smallint,
    d15 smallint, d16 smallint, d17 smallint, d18 smallint, d19 smallint, d20 smallint, d21 smallint,
    d22 smallint, d23 smallint, d24 smallint, d25 smallint, d26 smallint, d27 smallint, d28 smallint,
    d29 smallint, d30 smallint, d31 smallint
);
CREATE INDEX h_tabel_key_idx ON accounts_dep.h_tabel (w_id, month, year);

CREATE TABLE accounts_dep.fatigue (
    id        serial PRIMARY KEY,
    id_nom    numeric(15),
    id_o      numeric(15),
    id_p      numeric(15),
    d_date    date,
    i_mnth    integer,
    i_year    integer,
    i_smena   integer,
    cnt       integer,
    price     numeric(15, 4),
    i_holiday integer,
    i_night   integer
);
CREATE INDEX fatigue_date_idx ON accounts_dep.fatigue (d_date);
-- Reports and timesheets look a worker's entries of a period up once per row they print.
CREATE INDEX fatigue_worker_idx ON accounts_dep.fatigue (id_p, d_date);

CREATE TABLE accounts_dep.ver (
    d     integer,
    t     integer,
    delim varchar(255)
);

-- Fixed contents -----------------------------------------------------------------------------------

INSERT INTO accounts_dep.ver(d, t, delim) VALUES (0, 0, '.');

-- Household work and work paid at the average piecework rate: the operation kinds, their prices
-- (one operation price each, keyed by a product id of 7777 or more) and exactly one norm row
-- each, which holds the price per hour.
INSERT INTO accounts_dep.vid_oper(id, vid) VALUES (7777, 'Хоз. работы'), (7778, 'среднесдельная');
INSERT INTO accounts_dep.oper(id, vid, naimen, i_id, cena, cena_new) VALUES
    (7777, 7777, 0, 7777, 0, 0),
    (7778, 7778, 0, 7778, 0, 0);
INSERT INTO accounts_dep.norm(o_id, norma, prize, price) VALUES (7777, 0, 0, 150), (7778, 0, 0, 0);
