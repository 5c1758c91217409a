// The launcher's score upload: "game=%s&name=%s&score=%d" after the upload
// path, escaped by the launcher's own rule, which leaves "&" and "=" inside
// the values as they are.
#pragma once

#include "player_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ludora::site {

// The hall of fame's score travels combined with this mask by exclusive-or.
constexpr uint32_t kScoreMask = 0x3C3C3C3;
constexpr size_t kLongestNameField = 255; // the launcher keeps it in 256 characters

struct Upload {
    std::string game;
    PlayerRecord player; // what is kept of the name field
    int32_t score = 0;   // as the hall of fame holds it, the mask taken off
};

struct UploadQuery {
    enum class Outcome {
        Valid,
        NothingToRecord, // an empty hall of fame sends an empty name field
        Refused,
    };
    Outcome outcome = Outcome::Refused;
    Upload upload;
    std::string problem; // when refused: what was wrong, in words a player can follow
};

// query is the raw text after the "?".
UploadQuery parse_upload_query(std::string_view query);

} // namespace ludora::site
