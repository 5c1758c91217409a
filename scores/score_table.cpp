// The hall of fame of one game: twenty places kept best first in "hiscore.dat".
#include "scores/score_table.h"

#include <cstdio>
#include <cstring>
#include <new>

#include <windows.h>

namespace {

constexpr size_t NameBytes = sizeof(ScoreEntry::name);
constexpr size_t EntryBytes = NameBytes + 4; // 260 bytes on disk

// The file is little-endian whatever the machine.
void PutInt32(unsigned char* out, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    out[0] = static_cast<unsigned char>(bits);
    out[1] = static_cast<unsigned char>(bits >> 8);
    out[2] = static_cast<unsigned char>(bits >> 16);
    out[3] = static_cast<unsigned char>(bits >> 24);
}

int32_t GetInt32(const unsigned char* in) {
    const uint32_t bits = static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
                          static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
    return static_cast<int32_t>(bits);
}

// The saved table replaces the old file in one step, so a crash or a full disk
// during a save leaves the old hall of fame whole.
int ReplaceFile(const char* newFile, const char* path) {
    return MoveFileExA(newFile, path, MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}

} // namespace

ScoreTable::~ScoreTable() {
    delete[] entries;
}

int ScoreTable::Allocate(int32_t places) {
    delete[] entries;
    entries = nullptr;
    count = 0;
    if (places <= 0) {
        return places == 0 ? 1 : 0;
    }
    entries = new (std::nothrow) ScoreEntry[places]();
    if (!entries) {
        return 0;
    }
    count = places;
    return 1;
}

int ScoreTable::Read(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        return 0;
    }
    unsigned char countBytes[4];
    if (std::fread(countBytes, 1, sizeof(countBytes), file) != sizeof(countBytes) ||
        GetInt32(countBytes) != count) {
        std::fclose(file);
        return 0;
    }
    // A file that ends early is taken as far as its whole entries go; the
    // places after them keep what they held.
    unsigned char record[EntryBytes];
    for (int32_t i = 0; i < count; ++i) {
        if (std::fread(record, 1, EntryBytes, file) != EntryBytes) {
            break;
        }
        std::memcpy(entries[i].name, record, NameBytes);
        // A name written without its terminator is cut at 255 characters.
        entries[i].name[NameBytes - 1] = '\0';
        entries[i].score = GetInt32(record + NameBytes);
    }
    std::fclose(file);
    return 1;
}

int ScoreTable::Write(const char* path) {
    char newFile[MAX_PATH + 8];
    const int length = std::snprintf(newFile, sizeof(newFile), "%s.new", path);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(newFile)) {
        return 0;
    }
    FILE* file = std::fopen(newFile, "wb+");
    if (!file) {
        return 0;
    }
    unsigned char countBytes[4];
    PutInt32(countBytes, count);
    bool written = std::fwrite(countBytes, 1, sizeof(countBytes), file) == sizeof(countBytes);
    unsigned char record[EntryBytes];
    for (int32_t i = 0; written && i < count; ++i) {
        std::memcpy(record, entries[i].name, NameBytes);
        PutInt32(record + NameBytes, entries[i].score);
        written = std::fwrite(record, 1, EntryBytes, file) == EntryBytes;
    }
    if (std::fclose(file) != 0) {
        written = false;
    }
    if (!written || !ReplaceFile(newFile, path)) {
        std::remove(newFile);
        return 0;
    }
    return 1;
}

int ScoreTable::Insert(const char* composedName, int32_t score) {
    int32_t place = -1;
    // Strictly lower: an equal score ranks below the stored one, as designed.
    for (int32_t i = 0; i < count; ++i) {
        if (entries[i].score < score) {
            place = i;
            break;
        }
    }
    if (place < 0) {
        return 0;
    }
    for (int32_t i = count - 1; i > place; --i) {
        entries[i] = entries[i - 1];
    }
    ScoreEntry& entry = entries[place];
    std::memset(entry.name, 0, NameBytes);
    if (composedName) {
        // A longer name is cut at 255 characters, never copied past the field.
        size_t length = std::strlen(composedName);
        if (length > NameBytes - 1) {
            length = NameBytes - 1;
        }
        std::memcpy(entry.name, composedName, length);
    }
    entry.score = score;
    return 1;
}

int32_t ScoreTable::TopScore() const {
    return count > 0 ? entries[0].score : 0;
}

const ScoreEntry* ScoreTable::Entry(int32_t index) const {
    return index >= 0 && index < count ? &entries[index] : nullptr;
}
