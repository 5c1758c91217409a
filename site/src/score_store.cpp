// Which back end keeps the scores, and copies between any two.
#include "score_store.h"

#include "store/postgres_store.h"
#include "store/sqlite_store.h"

#include <filesystem>
#include <libpq-fe.h>

namespace ludora::site {

bool is_postgresql_address(const std::string& database) {
    if (database.starts_with("postgresql://") || database.starts_with("postgres://")) return true;
    // libpq's "key=value ..." form: only what libpq reads as one (a file
    // name with an "=" in it is not).
    if (database.find('=') == std::string::npos) return false;
    PQconninfoOption* options = PQconninfoParse(database.c_str(), nullptr);
    const bool parsed = options != nullptr;
    PQconninfoFree(options);
    return parsed;
}

std::string database_description(const std::string& database) {
    if (!is_postgresql_address(database)) return database;
    std::string description = "the PostgreSQL database";
    PQconninfoOption* options = PQconninfoParse(database.c_str(), nullptr);
    for (PQconninfoOption* option = options; option && option->keyword; ++option) {
        const std::string_view key = option->keyword;
        if (option->val && *option->val && (key == "dbname" || key == "host" || key == "port"))
            description += " " + std::string(key) + "=" + option->val;
    }
    PQconninfoFree(options);
    return description;
}

std::unique_ptr<ScoreStore> open_score_store(const std::string& database,
                                             const StoreOptions& options, std::string& problem) {
    if (is_postgresql_address(database)) return PostgresStore::open(database, options, problem);
    return SqliteStore::open(database, options, problem);
}

bool copy_score_store(const std::string& from, const std::string& to, const StoreOptions& options,
                      std::string& problem) {
    // Neither end purges what it copies: the copy keeps what the original kept.
    // Opening a file that is not there would make an empty one to copy.
    std::error_code ignored;
    if (!is_postgresql_address(from) && !std::filesystem::exists(from, ignored)) {
        problem = from + ": there is no such file";
        return false;
    }
    StoreOptions keep_all = options;
    keep_all.purge_private_after_days = 0;
    keep_all.connections = 1;
    const auto source = open_score_store(from, keep_all, problem);
    if (!source) return false;
    const auto target = open_score_store(to, keep_all, problem);
    if (!target) return false;
    constexpr size_t kBatch = 1000; // uploads a transaction
    std::vector<KeptUpload> batch;
    bool added = true;
    const bool read = source->each_upload(
        [&](const KeptUpload& upload) {
            batch.push_back(upload);
            if (batch.size() < kBatch) return true;
            added = target->add_uploads(batch, problem);
            batch.clear();
            return added;
        },
        problem);
    if (!read) return false;
    return added && (batch.empty() || target->add_uploads(batch, problem));
}

} // namespace ludora::site
