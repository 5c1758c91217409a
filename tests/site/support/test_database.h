// The database a test's site keeps its scores in: an SQLite file in the
// test's folder, or, when LUDORA_SITE_TEST_DATABASE is "postgresql" (as
// with-postgresql sets it), a fresh schema made for the test on the server
// that PGHOST, PGPORT and PGUSER name, dropped afterwards.
#pragma once

#include "stored_uploads.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct pg_conn;

namespace sitetest {

// Another program's write held until the object goes: SQLite's write lock,
// or a PostgreSQL lock on the uploads that lets reads through.
class HeldWrites {
public:
    ~HeldWrites();
    sqlite3* sqlite = nullptr;
    pg_conn* postgresql = nullptr;
};

class TestDatabase {
public:
    // name: the file's name, or part of the PostgreSQL database's.
    TestDatabase(const std::filesystem::path& folder, const std::string& name = "scores");
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    static bool on_postgresql();

    // What the site is given after --db.
    const std::string& argument() const { return argument_; }

    // Every stored upload in the order they came.
    std::vector<StoredUpload> uploads() const;

    // Everything the database holds, to look for text that must never have
    // been written: the file and its WAL, or every stored value.
    std::string bytes() const;

    // Runs SQL as the site's maker would, to age or change what is stored.
    bool execute(const std::string& sql) const;

    std::unique_ptr<HeldWrites> hold_writes() const;

    // PostgreSQL: whether a session waits for a lock (SQLite cannot tell).
    bool a_writer_waits() const;

private:
    std::string argument_;
    std::filesystem::path file_;
    std::string postgresql_name_;
};

} // namespace sitetest
