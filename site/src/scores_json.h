// The scores as JSON, for /api/scores.
#pragma once

#include "score_store.h"

#include <string>
#include <string_view>
#include <vector>

namespace ludora::site {

// {"game":"...","scores":[{"rank":1,"name":"...","score":1200,"uploaded":"..."}]}
std::string game_scores_json(const GameScores& game);

// {"games":[ one object as above for every game that has scores ]}
std::string all_games_json(const std::vector<GameScores>& games);

// {"error":"..."}
std::string error_json(std::string_view message);

} // namespace ludora::site
