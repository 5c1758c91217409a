// The name field of a hall-of-fame entry: the player's record
// "name:address:email:send" as the launcher composes it.
#pragma once

#include <string>
#include <string_view>

namespace ludora::site {

// What the site keeps of a record. Only name is ever shown; address and e-mail
// are kept only when the player said yes to sending them (send is "Y").
struct PlayerRecord {
    std::string name;
    std::string address;
    std::string email;
    std::string send;

    bool operator==(const PlayerRecord&) const = default;
};

// The name runs to the first ":", the send flag follows the last one and the
// e-mail the one before it, so a ":" typed into the address stays in the
// address. A field with fewer than three ":" is not a composed record: only
// its name is kept.
PlayerRecord kept_player_record(std::string_view field);

} // namespace ludora::site
