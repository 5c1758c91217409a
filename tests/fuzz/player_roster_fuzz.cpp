// The eight players kept in "options.ini": any file read by the roster. The
// current number is always one of the eight slots, every field ends inside
// its buffer, a composed record fits 256 bytes, and writing one player or
// the current number reads back and leaves the other players as they were.
#include "fuzz_support.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "ui/roster/player_roster.h"

namespace {

bool Terminated(const char* field, size_t size) {
    return std::memchr(field, 0, size) != nullptr;
}

std::string Fields(const PlayerRecord& record) {
    return std::string(record.name) + '\n' + record.address + '\n' + record.email + '\n' +
           record.send;
}

void CheckRecord(const PlayerRecord& record) {
    if (!Terminated(record.name, sizeof record.name) ||
        !Terminated(record.address, sizeof record.address) ||
        !Terminated(record.email, sizeof record.email) ||
        !Terminated(record.send, sizeof record.send))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("options.ini", data, size);
    PlayerRoster roster;
    roster.SetPath(".\\options.ini");

    const int32_t current = roster.ReadCurrent();
    if (current < 0 || current >= RosterPlayers) __builtin_trap();
    std::string before[RosterPlayers];
    for (int32_t number = 0; number < RosterPlayers; ++number) {
        CheckRecord(roster.Player(number));
        before[number] = Fields(roster.players[number]);
        char composed[256 + 16];
        std::memset(composed, 0x7E, sizeof composed);
        roster.Compose(number, composed);
        if (std::strlen(composed) > 255 || composed[256] != 0x7E) __builtin_trap();
    }
    // Numbers outside the eight slots neither read nor write past them.
    CheckRecord(roster.Player(-1));
    CheckRecord(roster.Player(RosterPlayers));

    // One player written with full fields; the chosen slot depends on the file.
    const int32_t chosen = size > 0 ? data[0] % RosterPlayers : 3;
    PlayerRecord record{};
    std::memset(record.name, 'n', sizeof record.name); // no terminator: cut at 63
    std::snprintf(record.address, sizeof record.address, "Harbour Road %d", static_cast<int>(size));
    std::snprintf(record.email, sizeof record.email, "p%d@example.org", static_cast<int>(chosen));
    record.send[0] = 'N';
    roster.WritePlayer(chosen, record);
    roster.WriteCurrent(chosen);

    PlayerRoster again;
    again.SetPath(".\\options.ini");
    if (again.ReadCurrent() != chosen) __builtin_trap();
    const PlayerRecord& written = again.Player(chosen);
    if (std::string(written.name) != std::string(63, 'n') ||
        std::strcmp(written.address, record.address) != 0 ||
        std::strcmp(written.email, record.email) != 0 || std::strcmp(written.send, "N") != 0)
        __builtin_trap();
    for (int32_t number = 0; number < RosterPlayers; ++number) {
        if (number != chosen && Fields(again.Player(number)) != before[number]) __builtin_trap();
    }
    // A reset player is named after its slot and sends its scores.
    again.ResetPlayer(chosen);
    char slotName[16];
    std::snprintf(slotName, sizeof slotName, "Player%d", static_cast<int>(chosen) + 1);
    const PlayerRecord& reset = again.Player(chosen);
    if (std::strcmp(reset.name, slotName) != 0 || std::strcmp(reset.send, "Y") != 0 ||
        reset.address[0] != 0 || reset.email[0] != 0)
        __builtin_trap();
    fuzz::g_sink = static_cast<unsigned>(std::strlen(reset.name));
    return 0;
}
