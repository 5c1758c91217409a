// The test's database, of either kind.
#include "test_database.h"

#include <atomic>
#include <cstdlib>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

namespace sitetest {

namespace {

constexpr const char* kDatabase = "ludora_site_tests";

// One statement on a new connection to the server the environment names.
std::vector<std::vector<std::string>> postgresql_rows(const std::string& database,
                                                      const std::string& sql, bool* ok = nullptr) {
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {database.c_str(), nullptr};
    PGconn* connection = PQconnectdbParams(keys, values, 0);
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr); // "drop cascades to..."
    PGresult* result = PQexec(connection, sql.c_str());
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < PQntuples(result); ++row) {
        auto& columns = rows.emplace_back();
        for (int column = 0; column < PQnfields(result); ++column)
            columns.emplace_back(PQgetvalue(result, row, column));
    }
    const ExecStatusType status = PQresultStatus(result);
    if (ok) *ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    PQclear(result);
    PQfinish(connection);
    return rows;
}

} // namespace

bool TestDatabase::on_postgresql() {
    const char* kind = std::getenv("LUDORA_SITE_TEST_DATABASE");
    return kind && std::string(kind) == "postgresql";
}

TestDatabase::TestDatabase(const std::filesystem::path& folder, const std::string& name) {
    if (!on_postgresql()) {
        file_ = folder / (name + ".db");
        argument_ = file_.string();
        return;
    }
    // A schema for each test in one database: made and dropped in
    // milliseconds, where a database takes half a second.
    static std::atomic<int> made = 0;
    if (made == 0)
        postgresql_rows("postgres", std::string("CREATE DATABASE ") + kDatabase +
                                        " TEMPLATE template0 ENCODING 'UTF8' LOCALE 'C'");
    postgresql_name_ =
        "ludora_" + name + "_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    postgresql_rows(kDatabase, "CREATE SCHEMA " + postgresql_name_);
    argument_ =
        std::string("postgresql:///") + kDatabase + "?options=-csearch_path%3D" + postgresql_name_;
}

TestDatabase::~TestDatabase() {
    if (!postgresql_name_.empty())
        postgresql_rows(kDatabase, "DROP SCHEMA " + postgresql_name_ + " CASCADE");
}

std::vector<StoredUpload> TestDatabase::uploads() const {
    if (postgresql_name_.empty()) return stored_uploads(file_);
    std::vector<StoredUpload> uploads;
    for (const auto& row :
         postgresql_rows(kDatabase, "SET search_path = " + postgresql_name_ +
                                        "; SELECT game, player, address, email, send, score "
                                        "FROM uploads ORDER BY id"))
        uploads.push_back({row[0], row[1], row[2], row[3], row[4], std::stoi(row[5])});
    return uploads;
}

std::string TestDatabase::bytes() const {
    if (postgresql_name_.empty()) return database_bytes(file_);
    std::string bytes;
    for (const auto& row : postgresql_rows(kDatabase, "SET search_path = " + postgresql_name_ +
                                                          "; SELECT * FROM uploads"))
        for (const auto& value : row)
            bytes += value + "\n";
    return bytes;
}

bool TestDatabase::execute(const std::string& sql) const {
    if (!postgresql_name_.empty()) {
        bool ok = false;
        postgresql_rows(kDatabase, "SET search_path = " + postgresql_name_ + "; " + sql, &ok);
        return ok;
    }
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(file_.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

HeldWrites::~HeldWrites() {
    sqlite3_close(sqlite);
    if (postgresql) PQfinish(postgresql);
}

std::unique_ptr<HeldWrites> TestDatabase::hold_writes() const {
    auto held = std::make_unique<HeldWrites>();
    if (postgresql_name_.empty()) {
        sqlite3_open(file_.c_str(), &held->sqlite);
        if (sqlite3_exec(held->sqlite, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            return nullptr;
        return held;
    }
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {kDatabase, nullptr};
    held->postgresql = PQconnectdbParams(keys, values, 0);
    const std::string sql =
        "SET search_path = " + postgresql_name_ + "; BEGIN; LOCK TABLE uploads IN EXCLUSIVE MODE";
    PGresult* result = PQexec(held->postgresql, sql.c_str());
    const bool locked = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    return locked ? std::move(held) : nullptr;
}

bool TestDatabase::a_writer_waits() const {
    const auto rows = postgresql_rows(kDatabase, "SELECT COUNT(*) FROM pg_locks WHERE NOT granted");
    return !rows.empty() && rows[0][0] != "0";
}

} // namespace sitetest
