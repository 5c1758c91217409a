// Stand-in for the store interface until the storage work is merged.
#include "score_store.h"

namespace ludora::site {

namespace {

class SqliteStoreStub : public ScoreStore {
public:
    SqliteScoreStore store;
    RecordOutcome record(const Upload& upload, int64_t now) override {
        auto recorded = store.record(upload, now);
        if (!recorded) return {RecordStatus::Failed, {}, store.last_problem()};
        return {RecordStatus::Stored, std::move(*recorded), {}};
    }
    std::optional<std::vector<ScoreRow>> top(const std::string& game, int places,
                                             std::string& problem) override {
        auto rows = store.top(game, places);
        if (!rows) problem = store.last_problem();
        return rows;
    }
    std::optional<std::vector<GameScores>> all_games(int places, int max_games,
                                                     std::string& problem) override {
        auto games = store.all_games(places, max_games);
        if (!games) problem = store.last_problem();
        return games;
    }
};

} // namespace

std::unique_ptr<ScoreStore> open_score_store(const std::string& database, const StoreOptions&,
                                             std::string& problem) {
    auto stub = std::make_unique<SqliteStoreStub>();
    if (!stub->store.open(database, problem)) return nullptr;
    return stub;
}

bool copy_score_store(const std::string&, const std::string&, const StoreOptions&,
                      std::string& problem) {
    problem = "copying is not available in this build";
    return false;
}

} // namespace ludora::site
