// The scores in one SQLite file.
#include "sqlite_store.h"

#include "score_queries.h"
#include "sql_connection.h"

#include <array>
#include <ctime>
#include <sqlite3.h>

namespace ludora::site {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kApplicationId = 0x4C445354; // "LDST": marks the file as this site's
constexpr int kBusyMilliseconds = 5000;
constexpr int64_t kDaySeconds = 86400;

constexpr const char* kSchema = R"sql(
CREATE TABLE uploads (
    id INTEGER PRIMARY KEY,
    game TEXT NOT NULL,
    player TEXT NOT NULL,
    address TEXT NOT NULL,
    email TEXT NOT NULL,
    send TEXT NOT NULL,
    score INTEGER NOT NULL,
    uploaded_at INTEGER NOT NULL,
    UNIQUE (game, player, address, email, send, score)
);
CREATE INDEX uploads_ranked ON uploads (game, score DESC, id DESC);
)sql";

// "$1" becomes "?1": the same numbered parameter in SQLite's spelling.
std::string sqlite_spelling(const char* sql) {
    std::string text = sql;
    for (size_t at = 0; at + 1 < text.size(); ++at)
        if (text[at] == '$' && text[at + 1] >= '0' && text[at + 1] <= '9') text[at] = '?';
    return text;
}

} // namespace

class SqliteConnection final : public SqlConnection {
public:
    ~SqliteConnection() override {
        for (sqlite3_stmt* statement : statements_)
            sqlite3_finalize(statement);
        sqlite3_close(db_);
    }

    bool open(const std::string& path, std::string& problem) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            problem = db_ ? sqlite3_errmsg(db_) : "cannot be opened";
            return false;
        }
        sqlite3_busy_timeout(db_, kBusyMilliseconds);
        return true;
    }

    bool execute(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
        note_failure(message ? message : sqlite3_errmsg(db_));
        sqlite3_free(message);
        return false;
    }

    // The first column of the first row of a one-off statement.
    std::optional<std::string> single(const char* sql) {
        sqlite3_stmt* statement = nullptr;
        std::optional<std::string> value;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(statement, 0);
            value = text ? reinterpret_cast<const char*>(text) : "";
        } else {
            note_failure(sqlite3_errmsg(db_));
        }
        sqlite3_finalize(statement);
        return value;
    }

    bool run(Query query, const std::vector<SqlValue>& parameters, SqlRows* rows) override {
        if (rows) rows->clear();
        sqlite3_stmt*& statement = statements_[static_cast<size_t>(query)];
        if (!statement &&
            sqlite3_prepare_v3(db_, sqlite_spelling(query_text(query)).c_str(), -1,
                               SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
            note_failure(sqlite3_errmsg(db_));
            return false;
        }
        int index = 1;
        for (const SqlValue& value : parameters) {
            if (value.is_number)
                sqlite3_bind_int64(statement, index++, value.number);
            else
                sqlite3_bind_text(statement, index++, value.text.data(),
                                  static_cast<int>(value.text.size()), SQLITE_TRANSIENT);
        }
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!rows) continue;
            SqlRow& row = rows->emplace_back();
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                const auto* bytes = sqlite3_column_text(statement, column);
                row.emplace_back(bytes ? reinterpret_cast<const char*>(bytes) : "",
                                 static_cast<size_t>(sqlite3_column_bytes(statement, column)));
            }
        }
        if (step != SQLITE_DONE) note_failure(sqlite3_errmsg(db_));
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return step == SQLITE_DONE;
    }

    // IMMEDIATE: the write lock is taken at once, so two writers never meet
    // halfway through, and a busy file answers within the busy timeout.
    bool begin() override { return execute("BEGIN IMMEDIATE"); }
    bool commit() override { return execute("COMMIT"); }
    void rollback() override {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }

    sqlite3* db() const { return db_; }
    void note_failure(const std::string& text) {
        problem_ = text;
        const int code = sqlite3_errcode(db_);
        full_ = code == SQLITE_FULL;
    }

private:
    sqlite3* db_ = nullptr;
    std::array<sqlite3_stmt*, static_cast<size_t>(Query::Count_)> statements_{};
};

namespace {

bool create_or_check_schema(SqliteConnection& c, std::string& problem) {
    if (!c.execute("BEGIN IMMEDIATE")) {
        problem = c.problem();
        return false;
    }
    const auto version = c.single("PRAGMA user_version");
    const auto application = c.single("PRAGMA application_id");
    const auto tables = c.single("SELECT COUNT(*) FROM sqlite_schema");
    bool ok = version && application && tables;
    if (!ok) {
        problem = c.problem();
    } else if (*version == "0" && *tables == "0") {
        const std::string stamp = "PRAGMA user_version=" + std::to_string(kSchemaVersion) +
                                  "; PRAGMA application_id=" + std::to_string(kApplicationId);
        ok = c.execute(kSchema) && c.execute(stamp.c_str());
        if (!ok) problem = c.problem();
    } else if (*application != std::to_string(kApplicationId)) {
        problem = "is a database of something else, not of this site";
        ok = false;
    } else if (*version != std::to_string(kSchemaVersion)) {
        problem = "has scores in layout " + *version + ", which this site (layout " +
                  std::to_string(kSchemaVersion) + ") cannot read";
        ok = false;
    }
    if (ok && c.execute("COMMIT")) return true;
    if (ok) problem = c.problem();
    c.rollback();
    return false;
}

} // namespace

SqliteStore::SqliteStore(const StoreOptions& options) : options_(options) {}

SqliteStore::~SqliteStore() = default;

std::unique_ptr<SqliteStore> SqliteStore::open(const std::string& path, const StoreOptions& options,
                                               std::string& problem) {
    std::unique_ptr<SqliteStore> store(new SqliteStore(options));
    auto writer = std::make_unique<SqliteConnection>();
    std::string detail;
    const auto refuse = [&](const std::string& why) {
        problem = path + ": " + why;
        return nullptr;
    };
    if (!writer->open(path, detail)) return refuse(detail);
    // WAL with NORMAL syncing: a commit is in the log file before the upload
    // is answered, so a killed process loses nothing it answered; only a
    // power cut can take the last few commits. Readers never wait for it.
    const auto mode = writer->single("PRAGMA journal_mode=WAL");
    if (mode != "wal")
        return refuse("cannot be used in WAL mode" +
                      (writer->problem().empty() ? "" : ": " + writer->problem()));
    const auto check = writer->single("PRAGMA quick_check");
    if (check != "ok")
        return refuse("fails its integrity check (" + check.value_or(writer->problem()) +
                      "); restore it from a backup");
    if (!writer->execute("PRAGMA synchronous=NORMAL")) return refuse(writer->problem());
    if (!create_or_check_schema(*writer, detail)) return refuse(detail);
    if (options.max_db_bytes > 0) {
        // Past the cap a write fails as on a full disk, which the site answers as such.
        const auto page_size = writer->single("PRAGMA page_size");
        const int64_t pages =
            std::max<int64_t>(1, options.max_db_bytes / std::stoll(page_size.value_or("4096")));
        if (!writer->execute(("PRAGMA max_page_count=" + std::to_string(pages)).c_str()))
            return refuse(writer->problem());
    }
    for (int i = 0; i < std::max(1, options.connections); ++i) {
        auto reader = std::make_unique<SqliteConnection>();
        if (!reader->open(path, detail) || !reader->execute("PRAGMA query_only=ON"))
            return refuse(detail.empty() ? reader->problem() : detail);
        store->readers_.add(std::move(reader));
    }
    store->writer_ = std::move(writer);
    store->purge_if_due(static_cast<int64_t>(std::time(nullptr)));
    return store;
}

void SqliteStore::purge_if_due(int64_t now) {
    if (options_.purge_private_after_days <= 0 || now - purged_at_ < kDaySeconds) return;
    purged_at_ = now;
    // A purge that fails is tried again with tomorrow's.
    purge_private(*writer_, now - int64_t{options_.purge_private_after_days} * kDaySeconds);
}

RecordOutcome SqliteStore::record(const Upload& upload, int64_t now) {
    std::lock_guard lock(writing_);
    purge_if_due(now);
    return record_upload(*writer_, upload, now, options_);
}

std::optional<std::vector<ScoreRow>> SqliteStore::top(const std::string& game, int places,
                                                      std::string& problem) {
    auto reader = readers_.borrow();
    if (!reader) {
        problem = "every reading connection stayed busy";
        return std::nullopt;
    }
    auto rows = top_rows(*reader, game, places);
    if (!rows) problem = reader->problem();
    return rows;
}

std::optional<std::vector<GameScores>> SqliteStore::all_games(int places, int max_games,
                                                              std::string& problem) {
    auto reader = readers_.borrow();
    if (!reader) {
        problem = "every reading connection stayed busy";
        return std::nullopt;
    }
    // One read transaction: every game as of one moment.
    reader->execute("BEGIN");
    auto games = games_with_top(*reader, places, max_games);
    if (!games) problem = reader->problem();
    reader->rollback();
    return games;
}

bool SqliteStore::each_upload(const std::function<bool(const KeptUpload&)>& take,
                              std::string& problem) {
    auto reader = readers_.borrow();
    if (reader && read_every_upload(*reader, take)) return true;
    problem = reader ? reader->problem() : "every reading connection stayed busy";
    return false;
}

bool SqliteStore::add_uploads(const std::vector<KeptUpload>& uploads, std::string& problem) {
    std::lock_guard lock(writing_);
    if (import_uploads(*writer_, uploads)) return true;
    problem = writer_->problem();
    return false;
}

} // namespace ludora::site
