// The hall of fame's file: twenty 260-byte places after a little-endian count.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "scores/score_table.h"
#include "tests/support/temp_folder.h"

using testkit::TempFolder;

namespace {

constexpr size_t FileBytes = 5204;

void PutLittle(std::vector<unsigned char>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLittle(const std::vector<unsigned char>& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

// A file laid out by hand: the count, then name and score of each place.
std::vector<unsigned char> MakeFile(uint32_t count,
                                    const std::vector<std::pair<std::string, int32_t>>& entries) {
    std::vector<unsigned char> bytes(4 + 260 * 20, 0);
    PutLittle(bytes, 0, count);
    for (size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(&bytes[4 + 260 * i], entries[i].first.data(), entries[i].first.size());
        PutLittle(bytes, 4 + 260 * i + 256, static_cast<uint32_t>(entries[i].second));
    }
    return bytes;
}

ScoreTable& Loaded(ScoreTable& table, const TempFolder& folder) {
    table.Allocate(20);
    table.Read(folder.File("hiscore.dat").c_str());
    return table;
}

} // namespace

TEST(ScoreTableFile, WholeFileIsReadPlaceByPlace) {
    TempFolder folder;
    folder.Write("hiscore.dat",
                 MakeFile(20, {{"Anna:Harbour Road 1:anna@example.org:Y", 1200}, {"Bo", -3}}));
    ScoreTable table;
    ASSERT_EQ(table.Allocate(20), 1);
    ASSERT_EQ(table.Read(folder.File("hiscore.dat").c_str()), 1);
    EXPECT_STREQ(table.Entry(0)->name, "Anna:Harbour Road 1:anna@example.org:Y");
    EXPECT_EQ(table.Entry(0)->score, 1200);
    EXPECT_STREQ(table.Entry(1)->name, "Bo");
    EXPECT_EQ(table.Entry(1)->score, -3);
    EXPECT_EQ(table.Entry(19)->name[0], '\0');
    EXPECT_EQ(table.TopScore(), 1200);
    EXPECT_EQ(table.Entry(20), nullptr);
    EXPECT_EQ(table.Entry(-1), nullptr);
}

TEST(ScoreTableFile, WrongCountOrMissingFileLeavesTheTable) {
    TempFolder folder;
    folder.Write("hiscore.dat", MakeFile(10, {{"Ten", 900}}));
    ScoreTable table;
    table.Allocate(20);
    table.Insert("Kept", 77);
    EXPECT_EQ(table.Read(folder.File("hiscore.dat").c_str()), 0);
    EXPECT_STREQ(table.Entry(0)->name, "Kept");
    EXPECT_EQ(table.TopScore(), 77);
    EXPECT_EQ(table.Read(folder.File("absent.dat").c_str()), 0);
    EXPECT_EQ(table.TopScore(), 77);
    folder.Write("tiny.dat", {20, 0});
    EXPECT_EQ(table.Read(folder.File("tiny.dat").c_str()), 0);
    EXPECT_EQ(table.TopScore(), 77);
}

TEST(ScoreTableFile, ShortFileKeepsWholePlacesAndTheRest) {
    TempFolder folder;
    std::vector<unsigned char> bytes = MakeFile(20, {{"One", 300}, {"Two", 200}, {"Three", 100}});
    bytes.resize(4 + 260 * 2 + 100); // the third place is cut off in its name
    folder.Write("hiscore.dat", bytes);
    ScoreTable table;
    table.Allocate(20);
    for (int i = 0; i < 4; ++i)
        table.Insert("Old", 50);
    EXPECT_EQ(table.Read(folder.File("hiscore.dat").c_str()), 1);
    EXPECT_STREQ(table.Entry(0)->name, "One");
    EXPECT_EQ(table.Entry(1)->score, 200);
    EXPECT_STREQ(table.Entry(2)->name, "Old");
    EXPECT_EQ(table.Entry(2)->score, 50);
    EXPECT_EQ(table.Entry(3)->score, 50);
    EXPECT_EQ(table.Entry(4)->score, 0);
}

TEST(ScoreTableFile, NameWithoutTerminatorIsCutAt255) {
    TempFolder folder;
    std::vector<unsigned char> bytes = MakeFile(20, {});
    std::memset(&bytes[4], 'A', 256);
    PutLittle(bytes, 4 + 256, 42);
    folder.Write("hiscore.dat", bytes);
    ScoreTable table;
    Loaded(table, folder);
    EXPECT_EQ(std::strlen(table.Entry(0)->name), 255u);
    EXPECT_EQ(table.Entry(0)->score, 42);
    EXPECT_EQ(table.Entry(1)->score, 0);
}

TEST(ScoreTableRanking, EqualScoreGoesBelowTheStoredOne) {
    ScoreTable table;
    table.Allocate(20);
    table.Insert("A", 900);
    table.Insert("B", 500);
    table.Insert("C", 300);
    ASSERT_EQ(table.Insert("New", 500), 1);
    const char* names[] = {"A", "B", "New", "C"};
    const int32_t scores[] = {900, 500, 500, 300};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(table.Entry(i)->name, names[i]) << i;
        EXPECT_EQ(table.Entry(i)->score, scores[i]) << i;
    }
    EXPECT_EQ(table.Entry(4)->score, 0);
    EXPECT_EQ(table.Count(), 20);
}

TEST(ScoreTableRanking, FullTableDropsTheTwentieth) {
    ScoreTable table;
    table.Allocate(20);
    for (int i = 0; i < 20; ++i) {
        const std::string name = "P" + std::to_string(i);
        table.Insert(name.c_str(), 2000 - 100 * i); // 2000, 1900, ..., 100
    }
    // Equal to place 5's score (1500), place 6 lower: it becomes place 6.
    ASSERT_EQ(table.Insert("Eq", 1500), 1);
    EXPECT_STREQ(table.Entry(5)->name, "P5");
    EXPECT_STREQ(table.Entry(6)->name, "Eq");
    EXPECT_STREQ(table.Entry(7)->name, "P6");
    EXPECT_STREQ(table.Entry(19)->name, "P18");
    EXPECT_EQ(table.Entry(19)->score, 200);
    // Not higher than the last place: nothing changes.
    EXPECT_EQ(table.Insert("Low", 200), 0);
    EXPECT_STREQ(table.Entry(19)->name, "P18");
}

TEST(ScoreTableRanking, NothingOrLessIsNeverEnteredInAnEmptyTable) {
    ScoreTable table;
    table.Allocate(20);
    EXPECT_EQ(table.Insert("Zero", 0), 0);
    EXPECT_EQ(table.Insert("Minus", -5), 0);
    EXPECT_EQ(table.Entry(0)->name[0], '\0');
    EXPECT_EQ(table.TopScore(), 0);
}

TEST(ScoreTableRanking, LongNameIsCutInsideItsField) {
    ScoreTable table;
    table.Allocate(2);
    const std::string longName(400, 'n');
    ASSERT_EQ(table.Insert(longName.c_str(), 10), 1);
    EXPECT_EQ(std::strlen(table.Entry(0)->name), 255u);
    EXPECT_EQ(table.Entry(0)->score, 10);
    EXPECT_EQ(table.Entry(1)->score, 0);
    // The name of a shorter entry leaves no remains of the longer one behind.
    ASSERT_EQ(table.Insert("S", 20), 1);
    EXPECT_STREQ(table.Entry(0)->name, "S");
    for (size_t i = 1; i < 256; ++i)
        ASSERT_EQ(table.Entry(0)->name[i], '\0') << i;
}

TEST(ScoreTableSave, FileIsTheCountThenEveryPlaceLittleEndian) {
    TempFolder folder;
    folder.Write("old.dat", MakeFile(20, {{"Anna:x:y:N", 70000}, {"Bo", -2}}));
    ScoreTable table;
    table.Allocate(20);
    ASSERT_EQ(table.Read(folder.File("old.dat").c_str()), 1);
    std::filesystem::remove(folder.File("old.dat"));
    ASSERT_EQ(table.Write(folder.File("hiscore.dat").c_str()), 1);
    const std::vector<unsigned char> bytes = folder.Read("hiscore.dat");
    ASSERT_EQ(bytes.size(), FileBytes);
    EXPECT_EQ(GetLittle(bytes, 0), 20u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "Anna:x:y:N");
    EXPECT_EQ(bytes[4 + 256], 0x70); // 70000 = 0x00011170
    EXPECT_EQ(bytes[4 + 257], 0x11);
    EXPECT_EQ(bytes[4 + 258], 0x01);
    EXPECT_EQ(bytes[4 + 259], 0x00);
    EXPECT_EQ(GetLittle(bytes, 4 + 260 + 256), 0xFFFFFFFEu);
    for (size_t i = 4 + 2 * 260; i < FileBytes; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path), {}), 1);

    ScoreTable again;
    Loaded(again, folder);
    EXPECT_STREQ(again.Entry(0)->name, "Anna:x:y:N");
    EXPECT_EQ(again.Entry(1)->score, -2);
}

TEST(ScoreTableSave, ClearedTableIsTwentyThenZeros) {
    TempFolder folder;
    folder.Write("hiscore.dat", MakeFile(20, {{"Old", 999}}));
    ScoreTable table;
    table.Allocate(20);
    ASSERT_EQ(table.Write(folder.File("hiscore.dat").c_str()), 1);
    const std::vector<unsigned char> bytes = folder.Read("hiscore.dat");
    ASSERT_EQ(bytes.size(), FileBytes);
    EXPECT_EQ(GetLittle(bytes, 0), 20u);
    for (size_t i = 4; i < FileBytes; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
}

TEST(ScoreTableSave, FailedSaveKeepsTheOldFile) {
    TempFolder folder;
    const std::vector<unsigned char> old = MakeFile(20, {{"Old", 999}});
    folder.Write("hiscore.dat", old);
    // The new table cannot be written beside the old one.
    std::filesystem::create_directory(folder.File("hiscore.dat.new"));
    ScoreTable table;
    table.Allocate(20);
    table.Insert("New", 5000);
    EXPECT_EQ(table.Write(folder.File("hiscore.dat").c_str()), 0);
    EXPECT_EQ(folder.Read("hiscore.dat"), old);
    EXPECT_EQ(table.Write(folder.File("no-such-folder/hiscore.dat").c_str()), 0);
}
