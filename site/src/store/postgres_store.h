// The scores in a PostgreSQL database that any number of sites share: a few
// connections per site, each with the statements prepared, found again after
// the server comes back.
#pragma once

#include "connection_pool.h"
#include "score_store.h"

#include <atomic>

namespace ludora::site {

class PostgresConnection;

class PostgresStore final : public ScoreStore {
public:
    ~PostgresStore() override;

    // Connects, creates or brings up to date the tables; nothing, with the
    // reason, when the database cannot be used.
    static std::unique_ptr<PostgresStore> open(const std::string& address,
                                               const StoreOptions& options, std::string& problem);

    RecordOutcome record(const Upload& upload, int64_t now) override;
    std::optional<std::vector<ScoreRow>> top(const std::string& game, int places,
                                             std::string& problem) override;
    std::optional<std::vector<GameScores>> all_games(int places, int max_games,
                                                     std::string& problem) override;
    bool each_upload(const std::function<bool(const KeptUpload&)>& take,
                     std::string& problem) override;
    bool add_uploads(const std::vector<KeptUpload>& uploads, std::string& problem) override;

private:
    using Lease = ConnectionPool<PostgresConnection>::Lease;

    PostgresStore(const std::string& address, const StoreOptions& options);

    // A connection that is up, connecting again when it was lost; an empty
    // lease, with the reason, when the server cannot be reached.
    Lease connected(std::string& problem);
    // Runs the work (true when it succeeded), once more on a fresh
    // connection when the server had dropped the first one before anything
    // was committed.
    bool with_connection(const std::function<bool(PostgresConnection&)>& work,
                         std::string& problem);
    bool check_size(PostgresConnection& connection, std::string& problem);
    void purge_if_due(PostgresConnection& connection, int64_t now);
    void note_lost(const std::string& problem);

    std::string address_;
    StoreOptions options_;
    ConnectionPool<PostgresConnection> pool_;
    std::atomic<bool> away_ = false;           // the server was lost and not yet found again
    std::atomic<int64_t> next_attempt_ms_ = 0; // while away, connect again no sooner
    std::atomic<int64_t> generation_ = 0;      // grows with every loss: older connections reconnect
    std::atomic<int64_t> size_checked_ms_ = 0;
    std::atomic<int64_t> size_bytes_ = 0;
    std::atomic<int64_t> purged_at_ = 0;
};

} // namespace ludora::site
