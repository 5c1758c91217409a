// One connection to the scores' database, of either kind, as the queries
// that both kinds share see it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ludora::site {

// A statement's parameter: a number or a text.
struct SqlValue {
    SqlValue(int64_t value) : is_number(true), number(value) {}
    SqlValue(std::string value) : text(std::move(value)) {}
    SqlValue(const char* value) : text(value) {}
    bool is_number = false;
    int64_t number = 0;
    std::string text;
};
using SqlRow = std::vector<std::string>; // every column as text
using SqlRows = std::vector<SqlRow>;

// The statements both kinds run, each prepared once on each connection.
enum class Query {
    Insert,
    FindSame,
    Place,
    Top,
    GameExists,
    GameCount,
    Games,
    Trim,
    PurgeClear,
    PurgeDuplicates,
    EveryUpload,
    Import,
    Count_ // how many there are
};

class SqlConnection {
public:
    virtual ~SqlConnection() = default;

    // Runs a prepared statement; the rows it gave, or false with problem() set.
    virtual bool run(Query query, const std::vector<SqlValue>& parameters, SqlRows* rows) = 0;

    // BEGIN, COMMIT, ROLLBACK: false with problem() set.
    virtual bool begin() = 0;
    virtual bool commit() = 0;
    virtual void rollback() = 0;

    // Held to the end of the transaction: one writer at a time adds a game, or
    // trims one game's rows. (SQLite's transactions already take turns.)
    virtual bool lock_new_games() { return true; }
    virtual bool lock_game(const std::string&) { return true; }

    const std::string& problem() const { return problem_; }
    bool full() const { return full_; } // the last failure was a full database or disk

protected:
    std::string problem_;
    bool full_ = false;
};

} // namespace ludora::site
