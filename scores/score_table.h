// The hall of fame of one game, "hiscore.dat" in its folder: a little-endian
// count, then each entry's 256-byte name and 4-byte score, best first.
#pragma once

#include <cstdint>

struct ScoreEntry {
    char name[256]; // the composed player record "name:address:email:send"
    int32_t score;
};

// Both programs keep twenty places: a 5204-byte file.
constexpr int32_t HallOfFamePlaces = 20;

class ScoreTable {
public:
    ScoreTable() = default;
    virtual ~ScoreTable();
    ScoreTable(const ScoreTable&) = delete;
    ScoreTable& operator=(const ScoreTable&) = delete;

    virtual int Allocate(int32_t places);
    virtual int Read(const char* path);
    // Writes a temporary file beside path and renames it over the old one.
    virtual int Write(const char* path);
    virtual int Insert(const char* composedName, int32_t score);
    virtual int32_t TopScore() const;

    int32_t Count() const { return count; }
    const ScoreEntry* Entry(int32_t index) const;

private:
    ScoreEntry* entries = nullptr;
    int32_t count = 0;
};
