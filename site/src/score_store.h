// The scores, behind one interface: in an SQLite file (the default) or in a
// PostgreSQL database that several sites share.
#pragma once

#include "player_record.h"
#include "upload_query.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    std::string problem; // the database's own words, for Full and Failed
};

struct StoreOptions {
    int max_games = 64;                 // games a site keeps; 0: no cap
    int max_rows_per_game = 1000;       // 0: no cap
    int64_t max_db_bytes = 256LL << 20; // 0: no cap
    int purge_private_after_days = 365; // addresses and e-mails older are cleared; 0: never
    int connections = 4;                // to the database, for each site process
};

// One upload as it is kept, private fields included: what a copy carries.
struct KeptUpload {
    std::string game;
    PlayerRecord player;
    int32_t score = 0;
    int64_t uploaded_at = 0;
};

class ScoreStore {
public:
    ScoreStore() = default;
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;
    virtual ~ScoreStore() = default;

    // Stored: the upload is committed and survives a killed process; any
    // other status: nothing of it was kept.
    virtual RecordOutcome record(const Upload& upload, int64_t now) = 0;

    // A game's best places; nothing (with the database's words) when it
    // cannot be read.
    virtual std::optional<std::vector<ScoreRow>> top(const std::string& game, int places,
                                                     std::string& problem) = 0;

    // At most max_games games by name (0: every game), each with at most
    // places rows.
    virtual std::optional<std::vector<GameScores>> all_games(int places, int max_games,
                                                             std::string& problem) = 0;

    // Every upload, oldest first, handed to take until it answers false.
    virtual bool each_upload(const std::function<bool(const KeptUpload&)>& take,
                             std::string& problem) = 0;

    // Adds these uploads in one transaction, keeping their times, leaving out
    // the ones already there; the game and row caps do not apply.
    virtual bool add_uploads(const std::vector<KeptUpload>& uploads, std::string& problem) = 0;
};

// The database's form chooses the back end: "postgresql://...",
// "postgres://..." or libpq's "key=value ..." for PostgreSQL, anything else
// is an SQLite file. Nothing, with the reason, when it cannot be used.
std::unique_ptr<ScoreStore> open_score_store(const std::string& database,
                                             const StoreOptions& options, std::string& problem);

bool is_postgresql_address(const std::string& database);

// The database as the log may name it: never with a password.
std::string database_description(const std::string& database);

// Every upload of one database into another, of either kind; repeats are
// kept once, so a copy interrupted may simply be run again.
bool copy_score_store(const std::string& from, const std::string& to, const StoreOptions& options,
                      std::string& problem);

} // namespace ludora::site
