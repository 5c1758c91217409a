// Reading the launcher's score upload.
#include "upload_query.h"

#include "game_name.h"
#include "percent_decoding.h"
#include "player_text.h"

#include <charconv>

namespace ludora::site {

namespace {

UploadQuery refused(std::string problem) {
    UploadQuery query;
    query.problem = std::move(problem);
    return query;
}

bool parse_masked_score(std::string_view text, int32_t& score) {
    int32_t sent = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, sent);
    if (text.empty() || error != std::errc() || stop != end) return false;
    score = static_cast<int32_t>(static_cast<uint32_t>(sent) ^ kScoreMask);
    return true;
}

} // namespace

UploadQuery parse_upload_query(std::string_view query) {
    constexpr std::string_view kGameKey = "game=";
    constexpr std::string_view kNameKey = "&name=";
    constexpr std::string_view kScoreKey = "&score=";

    // The game has no "&" of its own, so it ends at the first "&name="; a name
    // may hold anything, so the score starts after the last "&score=".
    if (!query.starts_with(kGameKey))
        return refused("The address does not start its query with the key \"game=\".");
    const size_t name_key = query.find(kNameKey, kGameKey.size());
    if (name_key == std::string_view::npos)
        return refused("The key \"name=\" is missing after the game.");
    const size_t name_start = name_key + kNameKey.size();
    const size_t score_key = query.rfind(kScoreKey);
    if (score_key == std::string_view::npos || score_key < name_start)
        return refused("The key \"score=\" is missing after the name.");

    const auto game = percent_decode(query.substr(kGameKey.size(), name_key - kGameKey.size()));
    const auto field = percent_decode(query.substr(name_start, score_key - name_start));
    const auto score_text = percent_decode(query.substr(score_key + kScoreKey.size()));
    if (!game) return refused("The game's name has a broken %-escape.");
    if (!field) return refused("The name field has a broken %-escape.");
    if (!score_text) return refused("The score has a broken %-escape.");

    UploadQuery result;
    if (!check_game_name(*game, result.problem)) return result;
    if (field->size() > kLongestNameField)
        return refused("The name field is longer than 255 bytes.");
    const std::string name_field = tidy_player_text(player_text_as_utf8(*field));
    if (holds_control_character(name_field))
        return refused("The name field holds a control character.");
    if (!parse_masked_score(*score_text, result.upload.score))
        return refused("The score is not a whole number that fits in 32 bits.");

    result.upload.game = *game;
    result.upload.player = kept_player_record(name_field);
    result.outcome =
        name_field.empty() ? UploadQuery::Outcome::NothingToRecord : UploadQuery::Outcome::Valid;
    return result;
}

} // namespace ludora::site
