// What the site keeps of a player's record.
#include "player_record.h"

namespace ludora::site {

PlayerRecord kept_player_record(std::string_view field) {
    PlayerRecord record;
    const size_t first = field.find(':');
    record.name = std::string(field.substr(0, first));
    if (first == std::string_view::npos) return record;
    const size_t last = field.rfind(':');
    const size_t before_last = last > first ? field.rfind(':', last - 1) : first;
    if (before_last <= first) return record;
    record.send = std::string(field.substr(last + 1));
    if (record.send == "Y") {
        record.address = std::string(field.substr(first + 1, before_last - first - 1));
        record.email = std::string(field.substr(before_last + 1, last - before_last - 1));
    }
    return record;
}

} // namespace ludora::site
