# Tests of the stand-in host (SQLite production database and host services).
