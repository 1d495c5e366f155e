-- The role the program logs in as (run by a superuser once per cluster).
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'sys') THEN
        CREATE ROLE sys LOGIN PASSWORD 'wubzelk' CREATEDB;
    END IF;
END $$;
-- The statements write dates day first (DD.MM.YYYY).
ALTER ROLE sys SET datestyle TO 'ISO, DMY';
