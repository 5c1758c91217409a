// The site's HTML pages. They work without JavaScript.
#pragma once

#include "score_store.h"

#include <string>
#include <vector>

namespace ludora::site {

// Every game that has scores, each with its top twenty.
std::string home_page(const std::vector<GameScores>& games);

// The answer to an upload: thanks by name, the score's rank, the game's top twenty.
std::string thanks_page(const Upload& upload, const RecordedUpload& recorded);

// The answer to an upload from an empty hall of fame.
std::string nothing_to_record_page(const std::string& game, const std::vector<ScoreRow>& top);

// An error page: the title says what happened, the detail what was wrong.
std::string problem_page(const std::string& title, const std::string& detail);

} // namespace ludora::site
