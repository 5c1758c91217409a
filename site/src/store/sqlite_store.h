// The scores in one SQLite file in WAL mode: one writing connection, and
// reading connections of their own so a stuck writer never holds up a page.
#pragma once

#include "connection_pool.h"
#include "score_store.h"

#include <atomic>
#include <mutex>

namespace ludora::site {

class SqliteConnection;

class SqliteStore final : public ScoreStore {
public:
    ~SqliteStore() override;

    // Nothing, with the reason, when the file cannot be used.
    static std::unique_ptr<SqliteStore> open(const std::string& path, const StoreOptions& options,
                                             std::string& problem);

    RecordOutcome record(const Upload& upload, int64_t now) override;
    std::optional<std::vector<ScoreRow>> top(const std::string& game, int places,
                                             std::string& problem) override;
    std::optional<std::vector<GameScores>> all_games(int places, int max_games,
                                                     std::string& problem) override;
    bool each_upload(const std::function<bool(const KeptUpload&)>& take,
                     std::string& problem) override;
    bool add_uploads(const std::vector<KeptUpload>& uploads, std::string& problem) override;

private:
    explicit SqliteStore(const StoreOptions& options);
    void purge_if_due(int64_t now);

    StoreOptions options_;
    std::mutex writing_; // one upload at a time on the writing connection
    std::unique_ptr<SqliteConnection> writer_;
    ConnectionPool<SqliteConnection> readers_;
    std::atomic<int64_t> purged_at_ = 0;
};

} // namespace ludora::site
