// The scores, in one SQLite file in WAL mode.
#include "score_store.h"

#include <sqlite3.h>

namespace ludora::site {

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kApplicationId = 0x4C445354; // "LDST": marks the file as this site's

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

// Resets a prepared statement when the use of it ends, whichever way it ends.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementUse() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

    void bind(int index, const std::string& text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void bind(int index, int64_t number) { sqlite3_bind_int64(statement_, index, number); }
    int step() { return sqlite3_step(statement_); }
    int64_t integer(int column) { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) {
        const auto* bytes = sqlite3_column_text(statement_, column);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes),
                                   static_cast<size_t>(sqlite3_column_bytes(statement_, column)))
                     : std::string();
    }

private:
    sqlite3_stmt* statement_;
};

bool execute(sqlite3* db, const char* sql, std::string& problem) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    problem = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

std::optional<int64_t> single_integer(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return std::nullopt;
    std::optional<int64_t> value;
    if (sqlite3_step(statement) == SQLITE_ROW) value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return value;
}

} // namespace

SqliteScoreStore::~SqliteScoreStore() {
    close();
}

void SqliteScoreStore::close() {
    for (sqlite3_stmt* statement : {insert_, find_same_, row_by_id_, rank_, count_, top_, games_})
        sqlite3_finalize(statement);
    insert_ = find_same_ = row_by_id_ = rank_ = count_ = top_ = games_ = nullptr;
    sqlite3_close(db_);
    db_ = nullptr;
}

bool SqliteScoreStore::open(const std::string& path, std::string& problem) {
    std::lock_guard lock(mutex_);
    close();
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        problem = path + ": " + (db_ ? sqlite3_errmsg(db_) : "cannot be opened");
        close();
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    // WAL with NORMAL syncing: a commit is in the log file before the upload
    // is answered, so a killed process loses nothing it answered; only a
    // power cut can take the last few commits.
    std::string detail;
    const auto mode = [&] {
        sqlite3_stmt* statement = nullptr;
        std::string answer;
        if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode=WAL", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(statement, 0);
            if (text) answer = reinterpret_cast<const char*>(text);
        } else {
            detail = sqlite3_errmsg(db_);
        }
        sqlite3_finalize(statement);
        return answer;
    }();
    if (mode != "wal") {
        problem = path + ": cannot be used in WAL mode" + (detail.empty() ? "" : ": " + detail);
        close();
        return false;
    }
    if (!execute(db_, "PRAGMA synchronous=NORMAL", detail) || !create_or_check_schema(detail) ||
        !prepare_statements(detail)) {
        problem = path + ": " + detail;
        close();
        return false;
    }
    return true;
}

bool SqliteScoreStore::create_or_check_schema(std::string& problem) {
    if (!execute(db_, "BEGIN IMMEDIATE", problem)) return false;
    const auto version = single_integer(db_, "PRAGMA user_version");
    const auto application = single_integer(db_, "PRAGMA application_id");
    const auto tables = single_integer(db_, "SELECT COUNT(*) FROM sqlite_schema");
    bool ok = version && application && tables;
    if (!ok) {
        problem = sqlite3_errmsg(db_);
    } else if (*version == 0 && *tables == 0) {
        const std::string stamp = "PRAGMA user_version=" + std::to_string(kSchemaVersion) +
                                  "; PRAGMA application_id=" + std::to_string(kApplicationId);
        ok = execute(db_, kSchema, problem) && execute(db_, stamp.c_str(), problem);
    } else if (*application != kApplicationId) {
        problem = "is a database of something else, not of this site";
        ok = false;
    } else if (*version != kSchemaVersion) {
        problem = "has scores in layout " + std::to_string(*version) +
                  ", which this site (layout " + std::to_string(kSchemaVersion) + ") cannot read";
        ok = false;
    }
    if (ok) return execute(db_, "COMMIT", problem);
    std::string ignored;
    execute(db_, "ROLLBACK", ignored);
    return false;
}

bool SqliteScoreStore::prepare_statements(std::string& problem) {
    const std::pair<sqlite3_stmt**, const char*> statements[] = {
        {&insert_, "INSERT INTO uploads (game, player, address, email, send, score, uploaded_at) "
                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) "
                   "ON CONFLICT (game, player, address, email, send, score) DO NOTHING"},
        {&find_same_, "SELECT id FROM uploads WHERE game = ?1 AND player = ?2 AND address = ?3 "
                      "AND email = ?4 AND send = ?5 AND score = ?6"},
        {&row_by_id_, "SELECT id, player, score, uploaded_at FROM uploads WHERE id = ?1"},
        {&rank_, "SELECT COUNT(*) FROM uploads WHERE game = ?1 "
                 "AND (score > ?2 OR (score = ?2 AND id > ?3))"},
        {&count_, "SELECT COUNT(*) FROM uploads WHERE game = ?1"},
        {&top_, "SELECT id, player, score, uploaded_at FROM uploads WHERE game = ?1 "
                "ORDER BY score DESC, id DESC LIMIT ?2"},
        {&games_, "SELECT DISTINCT game FROM uploads ORDER BY game LIMIT ?1"},
    };
    for (const auto& [statement, sql] : statements) {
        if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) !=
            SQLITE_OK) {
            problem = sqlite3_errmsg(db_);
            return false;
        }
    }
    return true;
}

std::optional<RecordedUpload> SqliteScoreStore::record(const Upload& upload, int64_t now) {
    std::lock_guard lock(mutex_);
    if (!db_) return std::nullopt;
    const PlayerRecord& player = upload.player;
    RecordedUpload recorded;
    int64_t id = 0;
    {
        StatementUse insert(insert_);
        insert.bind(1, upload.game);
        insert.bind(2, player.name);
        insert.bind(3, player.address);
        insert.bind(4, player.email);
        insert.bind(5, player.send);
        insert.bind(6, int64_t{upload.score});
        insert.bind(7, now);
        if (insert.step() != SQLITE_DONE) return std::nullopt;
        if (sqlite3_changes(db_) == 1) id = sqlite3_last_insert_rowid(db_);
    }
    if (id == 0) {
        StatementUse same(find_same_);
        same.bind(1, upload.game);
        same.bind(2, player.name);
        same.bind(3, player.address);
        same.bind(4, player.email);
        same.bind(5, player.send);
        same.bind(6, int64_t{upload.score});
        if (same.step() != SQLITE_ROW) return std::nullopt;
        id = same.integer(0);
        recorded.already_there = true;
    }
    auto row = row_locked(id);
    if (!row) return std::nullopt;
    {
        StatementUse rank(rank_);
        rank.bind(1, upload.game);
        rank.bind(2, int64_t{row->score});
        rank.bind(3, id);
        if (rank.step() != SQLITE_ROW) return std::nullopt;
        row->rank = static_cast<int>(rank.integer(0)) + 1;
    }
    {
        StatementUse count(count_);
        count.bind(1, upload.game);
        if (count.step() != SQLITE_ROW) return std::nullopt;
        recorded.game_count = count.integer(0);
    }
    auto top = top_locked(upload.game, kTopPlaces);
    if (!top) return std::nullopt;
    recorded.row = std::move(*row);
    recorded.top = std::move(*top);
    return recorded;
}

std::string SqliteScoreStore::last_problem() {
    std::lock_guard lock(mutex_);
    return db_ ? sqlite3_errmsg(db_) : "no database";
}

std::optional<ScoreRow> SqliteScoreStore::row_locked(int64_t id) {
    StatementUse select(row_by_id_);
    select.bind(1, id);
    if (select.step() != SQLITE_ROW) return std::nullopt;
    ScoreRow row;
    row.id = select.integer(0);
    row.player = select.text(1);
    row.score = static_cast<int32_t>(select.integer(2));
    row.uploaded_at = select.integer(3);
    return row;
}

std::optional<std::vector<ScoreRow>> SqliteScoreStore::top_locked(const std::string& game,
                                                                  int places) {
    StatementUse select(top_);
    select.bind(1, game);
    select.bind(2, int64_t{places});
    std::vector<ScoreRow> rows;
    int step;
    while ((step = select.step()) == SQLITE_ROW) {
        ScoreRow row;
        row.id = select.integer(0);
        row.rank = static_cast<int>(rows.size()) + 1;
        row.player = select.text(1);
        row.score = static_cast<int32_t>(select.integer(2));
        row.uploaded_at = select.integer(3);
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) return std::nullopt;
    return rows;
}

std::optional<std::vector<ScoreRow>> SqliteScoreStore::top(const std::string& game, int places) {
    std::lock_guard lock(mutex_);
    if (!db_) return std::nullopt;
    return top_locked(game, places);
}

std::optional<std::vector<GameScores>> SqliteScoreStore::all_games(int places, int max_games) {
    std::lock_guard lock(mutex_);
    if (!db_) return std::nullopt;
    std::vector<std::string> names;
    {
        StatementUse select(games_);
        select.bind(1, int64_t{max_games});
        int step;
        while ((step = select.step()) == SQLITE_ROW)
            names.push_back(select.text(0));
        if (step != SQLITE_DONE) return std::nullopt;
    }
    std::vector<GameScores> games;
    for (auto& name : names) {
        auto top = top_locked(name, places);
        if (!top) return std::nullopt;
        games.push_back({std::move(name), std::move(*top)});
    }
    return games;
}

} // namespace ludora::site
