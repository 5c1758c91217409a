// The scores as JSON.
#include "scores_json.h"

#include "utc_time.h"

namespace ludora::site {

namespace {

// The text is UTF-8 already; "<", ">" and "&" are escaped too so the answer
// is safe even where a careless page embeds it.
std::string json_string(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

} // namespace

std::string game_scores_json(const GameScores& game) {
    std::string json = "{\"game\":" + json_string(game.game) + ",\"scores\":[";
    for (size_t i = 0; i < game.top.size(); ++i) {
        const ScoreRow& row = game.top[i];
        if (i) json += ',';
        json += "{\"rank\":" + std::to_string(row.rank) + ",\"name\":" + json_string(row.player) +
                ",\"score\":" + std::to_string(row.score) +
                ",\"uploaded\":" + json_string(utc_timestamp(row.uploaded_at)) + "}";
    }
    json += "]}";
    return json;
}

std::string all_games_json(const std::vector<GameScores>& games) {
    std::string json = "{\"games\":[";
    for (size_t i = 0; i < games.size(); ++i) {
        if (i) json += ',';
        json += game_scores_json(games[i]);
    }
    json += "]}";
    return json;
}

std::string error_json(std::string_view message) {
    return "{\"error\":" + json_string(message) + "}";
}

} // namespace ludora::site
