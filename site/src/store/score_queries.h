// What the site asks of its scores, in SQL that SQLite and PostgreSQL both
// read the same way, so that both answer byte for byte alike.
#pragma once

#include "score_store.h"
#include "sql_connection.h"

namespace ludora::site {

// The statement's text, with "$1"-style parameters.
const char* query_text(Query query);

// The upload in one transaction: stored whole or not at all.
RecordOutcome record_upload(SqlConnection& connection, const Upload& upload, int64_t now,
                            const StoreOptions& options);

std::optional<std::vector<ScoreRow>> top_rows(SqlConnection& connection, const std::string& game,
                                              int places);

std::optional<std::vector<GameScores>> games_with_top(SqlConnection& connection, int places,
                                                      int max_games);

bool read_every_upload(SqlConnection& connection,
                       const std::function<bool(const KeptUpload&)>& take);

bool import_uploads(SqlConnection& connection, const std::vector<KeptUpload>& uploads);

// Clears the addresses and e-mails of uploads older than the cut-off (a
// second upload that then equals a first is dropped) in one transaction.
bool purge_private(SqlConnection& connection, int64_t older_than);

} // namespace ludora::site
