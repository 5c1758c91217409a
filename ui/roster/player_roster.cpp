#include "ui/roster/player_roster.h"

#include <cstdio>
#include <cstdlib>

#include <windows.h>

#include "shell/core/copy_text.h"

PlayerRoster g_PlayerRoster;

namespace {

bool IsSlot(int32_t number) {
    return number >= 0 && number < RosterPlayers;
}

void SectionName(int32_t number, char (&section)[32]) {
    FormatText(section, sizeof section, "Player%d", static_cast<int>(number) + 1);
}

} // namespace

void PlayerRoster::SetPath(const char* text) {
    CopyText(path, sizeof path, text);
}

int32_t PlayerRoster::ReadCurrent() {
    if (path[0] == '\0') {
        current = 0;
        return current;
    }
    char value[32] = {};
    GetPrivateProfileStringA("setup", "playerid", "0", value, sizeof value, path);
    const int32_t number = std::atoi(value);
    // The number picks one of eight slots: anything else in the file means the first.
    current = IsSlot(number) ? number : 0;
    return current;
}

void PlayerRoster::WriteCurrent(int32_t number) {
    if (path[0] == '\0') {
        return;
    }
    char value[32];
    FormatText(value, sizeof value, "%d", static_cast<int>(number));
    WritePrivateProfileStringA("setup", "playerid", value, path);
    current = number;
}

void PlayerRoster::ReadPlayer(int32_t number) {
    if (path[0] == '\0' || !IsSlot(number)) {
        return;
    }
    char section[32];
    SectionName(number, section);
    PlayerRecord& player = players[number];
    GetPrivateProfileStringA(section, "name", section, player.name, sizeof player.name, path);
    GetPrivateProfileStringA(section, "address", "", player.address, sizeof player.address, path);
    GetPrivateProfileStringA(section, "email", "", player.email, sizeof player.email, path);
    GetPrivateProfileStringA(section, "send", "Y", player.send, sizeof player.send, path);
}

void PlayerRoster::WritePlayer(int32_t number, const PlayerRecord& record) {
    if (path[0] == '\0' || !IsSlot(number)) {
        return;
    }
    // Copied first: the record may be the slot itself, and its fields may be full to the brim.
    PlayerRecord copy;
    CopyField(copy.name, sizeof copy.name, record.name, sizeof record.name);
    CopyField(copy.address, sizeof copy.address, record.address, sizeof record.address);
    CopyField(copy.email, sizeof copy.email, record.email, sizeof record.email);
    CopyField(copy.send, sizeof copy.send, record.send, sizeof record.send);
    char section[32];
    SectionName(number, section);
    WritePrivateProfileStringA(section, "name", copy.name, path);
    WritePrivateProfileStringA(section, "address", copy.address, path);
    WritePrivateProfileStringA(section, "email", copy.email, path);
    WritePrivateProfileStringA(section, "send", copy.send, path);
    ReadPlayer(number);
}

void PlayerRoster::Compose(int32_t number, char* out) {
    if (!out) {
        return;
    }
    out[0] = '\0';
    if (!IsSlot(number)) {
        return;
    }
    ReadPlayer(number);
    const PlayerRecord& player = players[number];
    FormatText(out, 256, "%s:%s:%s:%s", player.name, player.address, player.email, player.send);
}

void PlayerRoster::ResetPlayer(int32_t number) {
    if (!IsSlot(number)) {
        return;
    }
    PlayerRecord record{};
    char section[32];
    SectionName(number, section);
    CopyText(record.name, sizeof record.name, section);
    CopyText(record.send, sizeof record.send, "Y");
    WritePlayer(number, record);
}

void PlayerRoster::ResetAll() {
    for (int32_t number = 0; number < RosterPlayers; ++number) {
        ResetPlayer(number);
    }
}

const PlayerRecord& PlayerRoster::Player(int32_t number) {
    // A number outside the roster reads the first slot rather than beyond it.
    const int32_t slot = IsSlot(number) ? number : 0;
    ReadPlayer(slot);
    return players[slot];
}
