// The eight players shared by the launcher and the games in "..\\options.ini",
// and the number of the current one.
#pragma once

#include <cstdint>

struct PlayerRecord {
    char name[64];
    char address[64];
    char email[64];
    char send[2];
};

constexpr int32_t RosterPlayers = 8;

class PlayerRoster {
public:
    virtual ~PlayerRoster() = default;

    void SetPath(const char* path); // an empty path makes every operation do nothing
    const char* Path() const { return path; }

    virtual int32_t ReadCurrent();
    virtual void WriteCurrent(int32_t number);
    virtual void ReadPlayer(int32_t number);
    virtual void WritePlayer(int32_t number, const PlayerRecord& record);
    // "name:address:email:send" of the player, cut to fit out (256 bytes).
    virtual void Compose(int32_t number, char* out);
    virtual void ResetPlayer(int32_t number);
    virtual void ResetAll();
    virtual const PlayerRecord& Player(int32_t number);

    int32_t current = 0;
    PlayerRecord players[RosterPlayers] = {};

private:
    char path[256] = {};
};

extern PlayerRoster g_PlayerRoster;
