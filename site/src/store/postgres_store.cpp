// The scores in a PostgreSQL database, through libpq.
#include "postgres_store.h"

#include "request_log.h"
#include "score_queries.h"
#include "sql_connection.h"

#include <array>
#include <chrono>
#include <ctime>
#include <libpq-fe.h>

namespace ludora::site {

namespace {

constexpr int64_t kDaySeconds = 86400;
constexpr int64_t kRetryAwayMs = 250;  // while the server is away, one attempt in this long
constexpr int64_t kSizeCheckMs = 1000; // pg_database_size walks the files: not on every upload
constexpr int64_t kMigrationsLock = 0x4C445354; // advisory lock keys: "LDST" and its games
constexpr int64_t kGamesLock = 0x4C445355;

// Every statement ends within this, so a stuck server costs a request and
// not the site.
constexpr const char* kSessionSettings =
    "SET statement_timeout = '5s'; SET lock_timeout = '5s'; "
    "SET idle_in_transaction_session_timeout = '60s'; SET client_encoding = 'UTF8'";

// The tables, one step per layout; a step runs once, in its own transaction.
// Text sorts byte by byte ("C") as in SQLite, so both list games alike.
constexpr const char* kMigrations[] = {
    R"sql(
CREATE TABLE uploads (
    id BIGSERIAL PRIMARY KEY,
    game TEXT COLLATE "C" NOT NULL,
    player TEXT COLLATE "C" NOT NULL,
    address TEXT NOT NULL,
    email TEXT NOT NULL,
    send TEXT NOT NULL,
    score INTEGER NOT NULL,
    uploaded_at BIGINT NOT NULL,
    UNIQUE (game, player, address, email, send, score)
);
CREATE INDEX uploads_ranked ON uploads (game, score DESC, id DESC);
)sql",
};
constexpr int kSchemaVersion = static_cast<int>(std::size(kMigrations));

int64_t steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// libpq's messages end in a newline and may span lines; the log keeps one.
std::string one_line(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

} // namespace

class PostgresConnection final : public SqlConnection {
public:
    ~PostgresConnection() override {
        if (conn_) PQfinish(conn_);
    }

    bool up() const { return conn_ && PQstatus(conn_) == CONNECTION_OK; }
    bool lost() const { return !up(); }
    bool commit_sent() const { return commit_sent_; }
    void start_use() { commit_sent_ = false; }
    int64_t generation = -1; // the store's count of losses when this connected

    bool connect(const std::string& address) {
        if (conn_) PQfinish(conn_);
        prepared_.fill(false);
        const char* keys[] = {"dbname", "connect_timeout", "fallback_application_name", nullptr};
        const char* values[] = {address.c_str(), "5", "ludora-site", nullptr};
        conn_ = PQconnectdbParams(keys, values, 1);
        if (PQstatus(conn_) != CONNECTION_OK) {
            problem_ = one_line(PQerrorMessage(conn_));
            return false;
        }
        // The server's notices ("already exists, skipping") are not the log's business.
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
        return execute(kSessionSettings);
    }

    bool execute(const char* sql) { return check(Result(PQexec(conn_, sql), PQclear), nullptr); }

    // The first column of the first row of a one-off statement; nothing on failure.
    std::optional<std::string> single(const char* sql, const std::vector<std::string>& text = {}) {
        std::vector<const char*> values;
        for (const auto& value : text)
            values.push_back(value.c_str());
        SqlRows rows;
        Result result(PQexecParams(conn_, sql, static_cast<int>(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0),
                      PQclear);
        if (!check(std::move(result), &rows)) return std::nullopt;
        return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
    }

    bool run(Query query, const std::vector<SqlValue>& parameters, SqlRows* rows) override {
        const auto index = static_cast<size_t>(query);
        const std::string name = "ludora_" + std::to_string(index);
        if (!prepared_[index]) {
            if (!check(
                    Result(PQprepare(conn_, name.c_str(), query_text(query), 0, nullptr), PQclear),
                    nullptr))
                return false;
            prepared_[index] = true;
        }
        std::vector<std::string> text;
        text.reserve(parameters.size());
        for (const SqlValue& value : parameters)
            text.push_back(value.is_number ? std::to_string(value.number) : value.text);
        std::vector<const char*> values;
        for (const auto& value : text)
            values.push_back(value.c_str());
        return check(Result(PQexecPrepared(conn_, name.c_str(), static_cast<int>(values.size()),
                                           values.data(), nullptr, nullptr, 0),
                            PQclear),
                     rows);
    }

    bool begin() override {
        commit_sent_ = false;
        return execute("BEGIN");
    }
    bool commit() override {
        commit_sent_ = true;
        return execute("COMMIT");
    }
    void rollback() override {
        if (up() && PQtransactionStatus(conn_) != PQTRANS_IDLE) PQclear(PQexec(conn_, "ROLLBACK"));
    }
    bool lock_new_games() override {
        return single(("SELECT pg_advisory_xact_lock(" + std::to_string(kGamesLock) + ")").c_str())
            .has_value();
    }
    bool lock_game(const std::string& game) override {
        // Two-key locks: apart from the one-key locks of migrations and games.
        return single("SELECT pg_advisory_xact_lock(1, hashtext($1))", {game}).has_value();
    }

private:
    bool check(Result result, SqlRows* rows) {
        if (rows) rows->clear();
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            for (int row = 0; rows && row < PQntuples(result.get()); ++row) {
                SqlRow& columns = rows->emplace_back();
                for (int column = 0; column < PQnfields(result.get()); ++column)
                    columns.emplace_back(
                        PQgetvalue(result.get(), row, column),
                        static_cast<size_t>(PQgetlength(result.get(), row, column)));
            }
            return true;
        }
        const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
        full_ = state && std::string_view(state) == "53100"; // disk_full
        problem_ = one_line(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(conn_));
        if (problem_.empty()) problem_ = one_line(PQerrorMessage(conn_));
        return false;
    }

    PGconn* conn_ = nullptr;
    std::array<bool, static_cast<size_t>(Query::Count_)> prepared_{};
    bool commit_sent_ = false;
};

namespace {

bool migrate(PostgresConnection& c, std::string& problem) {
    const std::string lock = std::to_string(kMigrationsLock);
    // Sites started together take turns: one creates, the others find it done.
    if (!c.single(("SELECT pg_advisory_lock(" + lock + ")").c_str())) {
        problem = c.problem();
        return false;
    }
    const auto unlock = [&] { c.single(("SELECT pg_advisory_unlock(" + lock + ")").c_str()); };
    const auto encoding = c.single("SHOW server_encoding");
    const auto tables =
        c.single("SELECT (to_regclass('ludora_site_migrations') IS NOT NULL)::int::text"
                 " || (to_regclass('uploads') IS NOT NULL)::int::text");
    if (!encoding || !tables) {
        problem = c.problem();
        unlock();
        return false;
    }
    if (*encoding != "UTF8" && *encoding != "SQL_ASCII") {
        problem = "keeps text in " + *encoding + "; the site needs a UTF8 database";
        unlock();
        return false;
    }
    if (*tables == "01") {
        problem = "has an uploads table of something else, not of this site";
        unlock();
        return false;
    }
    std::optional<std::string> version;
    if (c.execute("CREATE TABLE IF NOT EXISTS ludora_site_migrations ("
                  "version INTEGER PRIMARY KEY, applied_at TIMESTAMPTZ NOT NULL DEFAULT now())"))
        version = c.single("SELECT COALESCE(MAX(version), 0) FROM ludora_site_migrations");
    if (!version) {
        problem = c.problem();
        unlock();
        return false;
    }
    int layout = std::stoi(*version);
    if (layout > kSchemaVersion) {
        problem = "has scores in layout " + *version + ", which this site (layout " +
                  std::to_string(kSchemaVersion) + ") cannot read";
        unlock();
        return false;
    }
    for (; layout < kSchemaVersion; ++layout) {
        const std::string stamp = "INSERT INTO ludora_site_migrations (version) VALUES (" +
                                  std::to_string(layout + 1) + ")";
        if (!c.begin() || !c.execute(kMigrations[layout]) || !c.execute(stamp.c_str()) ||
            !c.commit()) {
            problem = c.problem();
            c.rollback();
            unlock();
            return false;
        }
    }
    unlock();
    return true;
}

} // namespace

PostgresStore::PostgresStore(const std::string& address, const StoreOptions& options)
    : address_(address), options_(options) {}

PostgresStore::~PostgresStore() = default;

std::unique_ptr<PostgresStore>
PostgresStore::open(const std::string& address, const StoreOptions& options, std::string& problem) {
    std::unique_ptr<PostgresStore> store(new PostgresStore(address, options));
    auto first = std::make_unique<PostgresConnection>();
    std::string detail;
    if (!first->connect(address) || !migrate(*first, detail)) {
        problem = "the PostgreSQL database " + (detail.empty() ? first->problem() : detail);
        return nullptr;
    }
    first->generation = 0;
    store->purge_if_due(*first, static_cast<int64_t>(std::time(nullptr)));
    store->pool_.add(std::move(first));
    // The others connect when first needed.
    for (int i = 1; i < std::max(1, options.connections); ++i)
        store->pool_.add(std::make_unique<PostgresConnection>());
    return store;
}

void PostgresStore::note_lost(const std::string& problem) {
    ++generation_;
    next_attempt_ms_ = steady_ms() + kRetryAwayMs;
    if (!away_.exchange(true))
        write_log_line("ludora-site: lost the database (" + problem +
                       "); answering 503 until it is back");
}

PostgresStore::Lease PostgresStore::connected(std::string& problem) {
    auto lease = pool_.borrow();
    if (!lease) {
        problem = "every database connection stayed busy";
        return lease;
    }
    if (lease->up() && lease->generation == generation_) return lease;
    if (away_ && steady_ms() < next_attempt_ms_) {
        problem = "the database is away";
        return Lease(nullptr, nullptr);
    }
    const int64_t generation = generation_;
    if (!lease->connect(address_)) {
        problem = lease->problem();
        note_lost(problem);
        return Lease(nullptr, nullptr);
    }
    lease->generation = generation;
    away_ = false;
    return lease;
}

bool PostgresStore::with_connection(const std::function<bool(PostgresConnection&)>& work,
                                    std::string& problem) {
    for (int attempt = 0;; ++attempt) {
        auto lease = connected(problem); // a server that cannot be reached is noted there
        if (!lease) return false;
        lease->start_use();
        if (work(*lease)) return true;
        problem = lease->problem();
        if (!lease->lost()) return false;
        // A server that restarted dropped the pool's other connections too.
        ++generation_;
        if (attempt > 0 || lease->commit_sent()) {
            note_lost(problem);
            return false;
        }
    }
}

bool PostgresStore::check_size(PostgresConnection& c, std::string& problem) {
    if (options_.max_db_bytes <= 0) return true;
    const int64_t now = steady_ms();
    if (now - size_checked_ms_ >= kSizeCheckMs) {
        const auto size = c.single("SELECT pg_database_size(current_database())");
        if (!size) return false;
        size_bytes_ = std::stoll(*size);
        size_checked_ms_ = now;
    }
    if (size_bytes_ < options_.max_db_bytes) return true;
    problem = "the database holds " + std::to_string(size_bytes_) + " bytes, its cap is " +
              std::to_string(options_.max_db_bytes);
    return true;
}

void PostgresStore::purge_if_due(PostgresConnection& c, int64_t now) {
    if (options_.purge_private_after_days <= 0 || now - purged_at_ < kDaySeconds) return;
    purged_at_ = now;
    // A purge that fails is tried again with tomorrow's.
    purge_private(c, now - int64_t{options_.purge_private_after_days} * kDaySeconds);
}

RecordOutcome PostgresStore::record(const Upload& upload, int64_t now) {
    RecordOutcome outcome;
    std::string problem;
    const bool done = with_connection(
        [&](PostgresConnection& c) {
            purge_if_due(c, now);
            std::string full;
            if (!check_size(c, full)) return false;
            if (!full.empty()) {
                outcome = {RecordStatus::Full, {}, full};
                return true;
            }
            outcome = record_upload(c, upload, now, options_);
            return outcome.status != RecordStatus::Failed;
        },
        problem);
    if (!done) outcome = {RecordStatus::Failed, {}, problem};
    return outcome;
}

std::optional<std::vector<ScoreRow>> PostgresStore::top(const std::string& game, int places,
                                                        std::string& problem) {
    std::optional<std::vector<ScoreRow>> rows;
    with_connection(
        [&](PostgresConnection& c) { return (rows = top_rows(c, game, places)).has_value(); },
        problem);
    return rows;
}

std::optional<std::vector<GameScores>> PostgresStore::all_games(int places, int max_games,
                                                                std::string& problem) {
    std::optional<std::vector<GameScores>> games;
    with_connection(
        [&](PostgresConnection& c) {
            // One snapshot: every game as of one moment.
            if (!c.execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")) return false;
            games = games_with_top(c, places, max_games);
            c.rollback();
            return games.has_value();
        },
        problem);
    return games;
}

bool PostgresStore::each_upload(const std::function<bool(const KeptUpload&)>& take,
                                std::string& problem) {
    return with_connection([&](PostgresConnection& c) { return read_every_upload(c, take); },
                           problem);
}

bool PostgresStore::add_uploads(const std::vector<KeptUpload>& uploads, std::string& problem) {
    return with_connection([&](PostgresConnection& c) { return import_uploads(c, uploads); },
                           problem);
}

} // namespace ludora::site
