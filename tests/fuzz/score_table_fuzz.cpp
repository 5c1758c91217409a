// The hall-of-fame reader: any "hiscore.dat" read into a table of twenty
// places. A file of another count is refused and leaves the places as they
// were; otherwise each whole entry of the file fills its place, every name
// ends inside its field, and the table writes back and reads back the same.
#include "fuzz_support.h"

#include <cstdint>
#include <cstring>

#include "scores/score_table.h"

namespace {

constexpr size_t NameBytes = 256;
constexpr size_t EntryBytes = NameBytes + 4;

int32_t LittleEndian(const uint8_t* bytes) {
    return static_cast<int32_t>(
        static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
        static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

// A table whose places hold a mark that no short file can put there unnoticed:
// read from a whole file of our own.
void FillMarked(ScoreTable& table) {
    uint8_t bytes[4 + EntryBytes * HallOfFamePlaces] = {HallOfFamePlaces};
    for (int32_t place = 0; place < HallOfFamePlaces; ++place) {
        uint8_t* entry = bytes + 4 + EntryBytes * static_cast<size_t>(place);
        std::memcpy(entry, "marked", 6);
        entry[NameBytes] = 0xF9; // -7
        entry[NameBytes + 1] = entry[NameBytes + 2] = entry[NameBytes + 3] = 0xFF;
    }
    fuzz::WriteInput("marked.dat", bytes, sizeof bytes);
    table.Allocate(HallOfFamePlaces);
    if (table.Read("marked.dat") != 1) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("hiscore.dat", data, size);
    ScoreTable table;
    FillMarked(table);
    const int read = table.Read("hiscore.dat");
    const bool countMatches = size >= 4 && LittleEndian(data) == HallOfFamePlaces;
    if (read != (countMatches ? 1 : 0)) __builtin_trap();
    if (table.Count() != HallOfFamePlaces) __builtin_trap();

    const size_t wholeEntries = countMatches ? (size - 4) / EntryBytes : 0;
    for (int32_t place = 0; place < HallOfFamePlaces; ++place) {
        const ScoreEntry* entry = table.Entry(place);
        if (entry == nullptr) __builtin_trap();
        if (std::memchr(entry->name, 0, NameBytes) == nullptr) __builtin_trap();
        if (static_cast<size_t>(place) < wholeEntries) {
            const uint8_t* stored = data + 4 + EntryBytes * static_cast<size_t>(place);
            if (entry->score != LittleEndian(stored + NameBytes)) __builtin_trap();
            // The name is the stored bytes up to the first NUL, at most 255 of them.
            const size_t length = strnlen(reinterpret_cast<const char*>(stored), NameBytes - 1);
            if (std::strlen(entry->name) != length || std::memcmp(entry->name, stored, length) != 0)
                __builtin_trap();
        } else if (std::strcmp(entry->name, "marked") != 0 || entry->score != -7) {
            __builtin_trap();
        }
    }
    if (table.Entry(-1) != nullptr || table.Entry(HallOfFamePlaces) != nullptr) __builtin_trap();

    // Whatever was read is written whole and reads back the same.
    if (table.Write("copy.dat") != 1) __builtin_trap();
    ScoreTable again;
    again.Allocate(HallOfFamePlaces);
    if (again.Read("copy.dat") != 1) __builtin_trap();
    for (int32_t place = 0; place < HallOfFamePlaces; ++place) {
        if (again.Entry(place)->score != table.Entry(place)->score ||
            std::strcmp(again.Entry(place)->name, table.Entry(place)->name) != 0)
            __builtin_trap();
    }
    // A new best score takes the first place and pushes the rest down by one.
    const int32_t oldTop = table.TopScore();
    if (oldTop < INT32_MAX) {
        if (table.Insert("newcomer", INT32_MAX) != 1) __builtin_trap();
        if (table.TopScore() != INT32_MAX) __builtin_trap();
        if (table.Entry(1)->score != oldTop) __builtin_trap();
    }
    fuzz::g_sink = static_cast<unsigned>(table.TopScore());
    return 0;
}
