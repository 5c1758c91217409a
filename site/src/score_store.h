// The scores, in one SQLite file.
#pragma once

#include "upload_query.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ludora::site {

constexpr int kTopPlaces = 20;

struct ScoreRow {
    int64_t id = 0;
    int rank = 0; // 1 for the best; among equal scores the newest ranks first
    std::string player;
    int32_t score = 0;
    int64_t uploaded_at = 0; // seconds since 1970, UTC
};

struct GameScores {
    std::string game;
    std::vector<ScoreRow> top;
};

struct RecordedUpload {
    bool already_there = false; // the same upload came before and was kept once
    ScoreRow row;
    int64_t game_count = 0; // uploads the game has, this one included
    std::vector<ScoreRow> top;
};

enum class RecordStatus { Stored, TooManyGames, Full, Failed };

struct RecordOutcome {
    RecordStatus status = RecordStatus::Failed;
    RecordedUpload upload;
    std::string problem; // the database's own words for Full and Failed
};

struct StoreOptions {
    int max_games = 64; // 0: no cap; main passes 0 when a --games list is given
    int max_rows_per_game = 1000;
    int64_t max_db_bytes = 256LL << 20;
    int purge_private_after_days = 365;
    int connections = 4;
};

// Stand-in for the store interface until the storage work is merged.
class ScoreStore {
public:
    virtual ~ScoreStore() = default;
    virtual RecordOutcome record(const Upload& upload, int64_t now) = 0;
    virtual std::optional<std::vector<ScoreRow>> top(const std::string& game, int places,
                                                     std::string& problem) = 0;
    virtual std::optional<std::vector<GameScores>> all_games(int places, int max_games,
                                                             std::string& problem) = 0;
};

std::unique_ptr<ScoreStore> open_score_store(const std::string& database,
                                             const StoreOptions& options, std::string& problem);
bool copy_score_store(const std::string& from, const std::string& to, const StoreOptions& options,
                      std::string& problem);

class SqliteScoreStore {
public:
    SqliteScoreStore() = default;
    SqliteScoreStore(const SqliteScoreStore&) = delete;
    SqliteScoreStore& operator=(const SqliteScoreStore&) = delete;
    ~SqliteScoreStore();

    std::string last_problem();

    // Opens or creates the file; false with the reason when it cannot be used.
    bool open(const std::string& path, std::string& problem);

    // Once this answers, the upload is in the file and survives a killed
    // process. Nothing when the file refused the write.
    std::optional<RecordedUpload> record(const Upload& upload, int64_t now);

    std::optional<std::vector<ScoreRow>> top(const std::string& game, int places = kTopPlaces);

    // Every game that has scores, by name, each with its best places.
    std::optional<std::vector<GameScores>> all_games(int places, int max_games);

private:
    bool prepare_statements(std::string& problem);
    bool create_or_check_schema(std::string& problem);
    std::optional<std::vector<ScoreRow>> top_locked(const std::string& game, int places);
    std::optional<ScoreRow> row_locked(int64_t id);
    void close();

    std::mutex mutex_; // one connection, used by one request at a time
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    sqlite3_stmt* find_same_ = nullptr;
    sqlite3_stmt* row_by_id_ = nullptr;
    sqlite3_stmt* rank_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
    sqlite3_stmt* top_ = nullptr;
    sqlite3_stmt* games_ = nullptr;
};

} // namespace ludora::site
