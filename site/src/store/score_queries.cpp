// The site's queries, shared by both kinds of database.
#include "score_queries.h"

#include <cstdlib>
#include <limits>

namespace ludora::site {

namespace {

constexpr const char* kQueries[] = {
    // Insert
    "INSERT INTO uploads (game, player, address, email, send, score, uploaded_at) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7) "
    "ON CONFLICT (game, player, address, email, send, score) DO NOTHING "
    "RETURNING id, player, score, uploaded_at",
    // FindSame
    "SELECT id, player, score, uploaded_at FROM uploads WHERE game = $1 AND player = $2 "
    "AND address = $3 AND email = $4 AND send = $5 AND score = $6",
    // Place: the uploads ranked above this one, and the game's uploads.
    "SELECT COUNT(*) FILTER (WHERE score > $2 OR (score = $2 AND id > $3)), COUNT(*) "
    "FROM uploads WHERE game = $1",
    // Top
    "SELECT id, player, score, uploaded_at FROM uploads WHERE game = $1 "
    "ORDER BY score DESC, id DESC LIMIT $2",
    // GameExists
    "SELECT 1 FROM uploads WHERE game = $1 LIMIT 1",
    // GameCount
    "SELECT COUNT(DISTINCT game) FROM uploads",
    // Games: from each game to the next along the index, so that a page
    // costs the number of games and not the number of uploads.
    "WITH RECURSIVE games (game) AS ("
    " SELECT * FROM (SELECT game FROM uploads ORDER BY game LIMIT 1) AS first"
    " UNION ALL"
    " SELECT (SELECT game FROM uploads WHERE game > games.game ORDER BY game LIMIT 1)"
    " FROM games WHERE games.game IS NOT NULL)"
    " SELECT game FROM games WHERE game IS NOT NULL LIMIT $1",
    // Trim: the shown places stay first, then each player's best, then the
    // rest by score; what falls beyond the cap goes.
    "DELETE FROM uploads WHERE id IN (SELECT id FROM ("
    " SELECT id, ROW_NUMBER() OVER (ORDER BY keep, score DESC, id DESC) AS place FROM ("
    "  SELECT id, score, CASE"
    "   WHEN ROW_NUMBER() OVER (ORDER BY score DESC, id DESC) <= $2 THEN 0"
    "   WHEN ROW_NUMBER() OVER (PARTITION BY player ORDER BY score DESC, id DESC) = 1 THEN 1"
    "   ELSE 2 END AS keep"
    "  FROM uploads WHERE game = $1) AS classed) AS placed"
    " WHERE place > $3)",
    // PurgeClear: one of each group of uploads that become equal once cleared.
    "UPDATE uploads SET address = '', email = '' WHERE id IN ("
    " SELECT MIN(id) FROM uploads AS old"
    " WHERE uploaded_at < $1 AND (address <> '' OR email <> '') AND NOT EXISTS ("
    "  SELECT 1 FROM uploads AS cleared WHERE cleared.game = old.game"
    "  AND cleared.player = old.player AND cleared.send = old.send"
    "  AND cleared.score = old.score AND cleared.address = '' AND cleared.email = '')"
    " GROUP BY game, player, send, score)",
    // PurgeDuplicates: the others of those groups, now equal to a cleared one.
    "DELETE FROM uploads WHERE uploaded_at < $1 AND (address <> '' OR email <> '')",
    // EveryUpload
    "SELECT game, player, address, email, send, score, uploaded_at FROM uploads ORDER BY id",
    // Import
    "INSERT INTO uploads (game, player, address, email, send, score, uploaded_at) "
    "VALUES ($1, $2, $3, $4, $5, $6, $7) "
    "ON CONFLICT (game, player, address, email, send, score) DO NOTHING",
};
static_assert(std::size(kQueries) == static_cast<size_t>(Query::Count_));

int64_t number(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

ScoreRow score_row(const SqlRow& columns) {
    ScoreRow row;
    row.id = number(columns[0]);
    row.player = columns[1];
    row.score = static_cast<int32_t>(number(columns[2]));
    row.uploaded_at = number(columns[3]);
    return row;
}

RecordOutcome failed(SqlConnection& connection) {
    connection.rollback();
    RecordOutcome outcome;
    outcome.status = connection.full() ? RecordStatus::Full : RecordStatus::Failed;
    outcome.problem = connection.problem();
    return outcome;
}

std::vector<SqlValue> upload_key(const Upload& upload) {
    const PlayerRecord& player = upload.player;
    return {upload.game,  player.name, player.address,
            player.email, player.send, int64_t{upload.score}};
}

} // namespace

const char* query_text(Query query) {
    return kQueries[static_cast<size_t>(query)];
}

RecordOutcome record_upload(SqlConnection& c, const Upload& upload, int64_t now,
                            const StoreOptions& options) {
    if (!c.begin()) return failed(c);
    SqlRows rows;
    if (options.max_games > 0) {
        if (!c.run(Query::GameExists, {upload.game}, &rows)) return failed(c);
        if (rows.empty()) {
            if (!c.lock_new_games() || !c.run(Query::GameCount, {}, &rows)) return failed(c);
            if (number(rows.at(0).at(0)) >= options.max_games) {
                c.rollback();
                RecordOutcome outcome;
                outcome.status = RecordStatus::TooManyGames;
                return outcome;
            }
        }
    }
    auto parameters = upload_key(upload);
    parameters.push_back(now);
    if (!c.run(Query::Insert, parameters, &rows)) return failed(c);
    RecordOutcome outcome;
    RecordedUpload& recorded = outcome.upload;
    if (rows.empty()) {
        if (!c.run(Query::FindSame, upload_key(upload), &rows) || rows.empty()) return failed(c);
        recorded.already_there = true;
    }
    recorded.row = score_row(rows[0]);
    if (!c.run(Query::Place, {upload.game, int64_t{recorded.row.score}, recorded.row.id}, &rows))
        return failed(c);
    recorded.row.rank = static_cast<int>(number(rows.at(0).at(0))) + 1;
    recorded.game_count = number(rows.at(0).at(1));
    auto top = top_rows(c, upload.game, kTopPlaces);
    if (!top) return failed(c);
    recorded.top = std::move(*top);
    // The answer tells where the upload came even when the cap then drops it.
    if (options.max_rows_per_game > 0 && recorded.game_count > options.max_rows_per_game &&
        (!c.lock_game(upload.game) ||
         !c.run(Query::Trim, {upload.game, int64_t{kTopPlaces}, int64_t{options.max_rows_per_game}},
                nullptr)))
        return failed(c);
    if (!c.commit()) return failed(c);
    outcome.status = RecordStatus::Stored;
    return outcome;
}

std::optional<std::vector<ScoreRow>> top_rows(SqlConnection& c, const std::string& game,
                                              int places) {
    SqlRows rows;
    if (!c.run(Query::Top, {game, int64_t{places}}, &rows)) return std::nullopt;
    std::vector<ScoreRow> top;
    for (const SqlRow& columns : rows) {
        top.push_back(score_row(columns));
        top.back().rank = static_cast<int>(top.size());
    }
    return top;
}

std::optional<std::vector<GameScores>> games_with_top(SqlConnection& c, int places, int max_games) {
    SqlRows rows;
    const int64_t limit = max_games > 0 ? max_games : std::numeric_limits<int32_t>::max();
    if (!c.run(Query::Games, {limit}, &rows)) return std::nullopt;
    std::vector<GameScores> games;
    for (SqlRow& columns : rows) {
        auto top = top_rows(c, columns[0], places);
        if (!top) return std::nullopt;
        games.push_back({std::move(columns[0]), std::move(*top)});
    }
    return games;
}

bool read_every_upload(SqlConnection& c, const std::function<bool(const KeptUpload&)>& take) {
    SqlRows rows;
    if (!c.run(Query::EveryUpload, {}, &rows)) return false;
    for (SqlRow& columns : rows) {
        KeptUpload upload{std::move(columns[0]),
                          {std::move(columns[1]), std::move(columns[2]), std::move(columns[3]),
                           std::move(columns[4])},
                          static_cast<int32_t>(number(columns[5])),
                          number(columns[6])};
        if (!take(upload)) break;
    }
    return true;
}

bool import_uploads(SqlConnection& c, const std::vector<KeptUpload>& uploads) {
    if (!c.begin()) return false;
    for (const KeptUpload& upload : uploads) {
        const PlayerRecord& player = upload.player;
        if (!c.run(Query::Import,
                   {upload.game, player.name, player.address, player.email, player.send,
                    int64_t{upload.score}, upload.uploaded_at},
                   nullptr)) {
            c.rollback();
            return false;
        }
    }
    if (c.commit()) return true;
    c.rollback();
    return false;
}

bool purge_private(SqlConnection& c, int64_t older_than) {
    if (c.begin() && c.run(Query::PurgeClear, {older_than}, nullptr) &&
        c.run(Query::PurgeDuplicates, {older_than}, nullptr) && c.commit())
        return true;
    c.rollback();
    return false;
}

} // namespace ludora::site
