// A game's hall of fame seen from its title screen: the rows and empty
// places, the upload address, "clear" and "back".
#include "launcher_test_support.h"

#include <cstring>

namespace {

using namespace launchertest;

constexpr int32_t Mask = 0x3C3C3C3;

// A "hiscore.dat": count 20, then 256 bytes of name and 4 of score per place.
std::string ScoreFile(const std::vector<std::pair<std::string, int32_t>>& places) {
    std::string bytes(4 + 260 * 20, '\0');
    bytes[0] = 20;
    for (size_t i = 0; i < places.size(); ++i) {
        std::memcpy(&bytes[4 + 260 * i], places[i].first.data(), places[i].first.size());
        const uint32_t score = uint32_t(places[i].second);
        for (int b = 0; b < 4; ++b)
            bytes[4 + 260 * i + 256 + b] = char(score >> (8 * b));
    }
    return bytes;
}

class HallOfFame : public LauncherProgram {
protected:
    fs::path Scores() const { return dist_ / "Pearlwreck" / "hiscore.dat"; }
    // Opens the hall of fame from Pearlwreck's title page, runs more, takes a shot.
    void Open(const std::string& inside, const std::string& shot) {
        Run(Click(HighScoresButton) + "wait 200\n" + Shot(shots_ / shot) + inside, {"Pearlwreck"});
    }
    static std::string Address(const std::string& query) {
        return std::string("open|") + LUDORA_SITE_URL + "/cgi-bin/hiscore.cgi?" + query + "||";
    }
};

// Rows lie 26 apart from y 275 on the background, which stands at (53, 18);
// the left column's name from x 56 and the right one's from 53 + 334.
constexpr int RowTop(int row) {
    return 18 + 275 + 26 * row;
}
constexpr int LeftColumn = 53 + 56;
constexpr int RightColumn = 53 + 53 + 334;

TEST_F(HallOfFame, RowsShowNamesUpToTheColonAndSkipEmptyPlaces) {
    Open("", "empty.bmp");
    WriteText(Scores(), ScoreFile({{"Ann:Road 1:ann@x.org:Y", 1200}, {"Bob", 900}}));
    Open("", "cut.bmp");
    WriteText(Scores(), ScoreFile({{"Ann", 1200}, {"Bob", 900}}));
    Open("", "plain.bmp");
    std::vector<std::pair<std::string, int32_t>> right(11);
    right[10] = {"Cy", 5};
    WriteText(Scores(), ScoreFile(right));
    Open("", "right.bmp");

    const Picture empty = ReadBmp(shots_ / "empty.bmp");
    const Picture cut = ReadBmp(shots_ / "cut.bmp");
    const Picture plain = ReadBmp(shots_ / "plain.bmp");
    const Picture rightOnly = ReadBmp(shots_ / "right.bmp");
    ASSERT_TRUE(empty.Loaded() && cut.Loaded() && plain.Loaded() && rightOnly.Loaded());
    // Only the part before the first ":" shows.
    EXPECT_TRUE(SameArea(cut, plain, 53, RowTop(0), 700, 26 * 10));
    // Rows 0 and 1 of the left column are written, in purple then black.
    const Picture purple = ReadBmp(dist_ / "HallPurpleFont.bmp");
    const Picture black = ReadBmp(dist_ / "HallBlackFont.bmp");
    constexpr Rgb purpleInk = Rgb::FromPacked(0x702896), blackInk = Rgb::FromPacked(0x1E1814);
    ASSERT_EQ(CountColour(purple, 0, 0, purple.width, purple.height, purpleInk) > 0, true);
    ASSERT_EQ(CountColour(black, 0, 0, black.width, black.height, blackInk) > 0, true);
    EXPECT_GT(CountColour(plain, LeftColumn, RowTop(0), 300, 20, purpleInk), 20);
    EXPECT_GT(CountColour(plain, LeftColumn, RowTop(1), 300, 20, blackInk), 20);
    // The other places are empty: the table below row 1 and the right column as in an empty hall.
    EXPECT_FALSE(SameArea(plain, empty, LeftColumn, RowTop(0), 300, 20));
    EXPECT_TRUE(SameArea(plain, empty, LeftColumn, RowTop(2), 300, 26 * 8));
    EXPECT_TRUE(SameArea(plain, empty, RightColumn, RowTop(0), 300, 26 * 10));
    // Place 11 starts the right column again in purple.
    EXPECT_GT(CountColour(rightOnly, RightColumn, RowTop(0), 300, 20, purpleInk), 10);
    EXPECT_TRUE(SameArea(rightOnly, empty, LeftColumn, RowTop(0), 300, 26 * 10));
}

TEST_F(HallOfFame, UploadSendsTheTopScoreMaskedAndEscaped) {
    Open(Click(UploadButton), "empty.bmp");
    WriteText(Scores(), ScoreFile({{"Ann Lee&Co:1 Sea Road:ann@x.org:Y", 1200}, {"Bob", 900}}));
    Open(Click(UploadButton) + Click(HallBackButton), "full.bmp");
    const std::string masked = std::to_string(int32_t(1200 ^ Mask));
    EXPECT_EQ(Opened(),
              (std::vector<std::string>{
                  // An empty table sends an empty name and the mask itself.
                  Address("game=Pearlwreck&name=&score=63161283"),
                  // A space goes as %20; "&", ":", "@" go as they are.
                  Address("game=Pearlwreck&name=Ann%20Lee&Co:1%20Sea%20Road:ann@x.org:Y&score=" +
                          masked)}));
    EXPECT_EQ(0x3C3C3C3, 63161283);
}

TEST_F(HallOfFame, ClearWritesAnEmptyTableAndBackKeepsIt) {
    const std::string full = ScoreFile({{"Ann", 1200}, {"Bob", 900}});
    WriteText(Scores(), full);
    Open(Click(HallBackButton), "kept.bmp");
    EXPECT_EQ(ReadText(Scores()), full);

    Open(Click(ClearButton) + Click(HighScoresButton) + "wait 200\n" + Shot(shots_ / "again.bmp") +
             Click(UploadButton),
         "before.bmp");
    const std::string cleared = ReadText(Scores());
    ASSERT_EQ(cleared.size(), 5204u);
    EXPECT_EQ(cleared, ScoreFile({}));
    Open("", "empty.bmp");
    EXPECT_TRUE(SameArea(ReadBmp(shots_ / "again.bmp"), ReadBmp(shots_ / "empty.bmp"), 53,
                         RowTop(0), 700, 26 * 10));
    EXPECT_EQ(Opened(),
              (std::vector<std::string>{Address("game=Pearlwreck&name=&score=63161283")}));
}

TEST_F(HallOfFame, AFileOfAnotherSizeOfTableShowsNothing) {
    Open("", "empty.bmp");
    std::string ten = ScoreFile({{"Ann", 1200}});
    ten[0] = 10;
    WriteText(Scores(), ten);
    Open(Click(UploadButton), "ten.bmp");
    EXPECT_TRUE(SameArea(ReadBmp(shots_ / "ten.bmp"), ReadBmp(shots_ / "empty.bmp"), 53, RowTop(0),
                         700, 26 * 10));
    EXPECT_EQ(Opened(),
              (std::vector<std::string>{Address("game=Pearlwreck&name=&score=63161283")}));
    EXPECT_EQ(ReadText(Scores()), ten);
}

} // namespace

namespace {

using namespace launchertest;

class LongHallOfFame : public LauncherProgram {};

TEST_F(LongHallOfFame, ANameFieldFilledToTheBrimIsSentCutAndShownWithoutHarm) {
    // A place whose 256 name bytes have no terminator, spaces among them.
    std::string bytes(4 + 260 * 20, '\0');
    bytes[0] = 20;
    for (int i = 0; i < 256; ++i)
        bytes[4 + i] = i % 4 == 3 ? ' ' : 'A';
    bytes[4 + 256] = 9; // score 9
    WriteText(dist_ / "Pearlwreck" / "hiscore.dat", bytes);
    Run(Click(HighScoresButton) + "wait 200\n" + Click(UploadButton) + Click(HallBackButton),
        {"Pearlwreck"});
    const std::vector<std::string> opened = Opened();
    ASSERT_EQ(opened.size(), 1u);
    const std::string prefix = std::string("open|") + LUDORA_SITE_URL + "/cgi-bin/hiscore.cgi?";
    ASSERT_EQ(opened[0].substr(0, prefix.size()), prefix);
    const std::string query = opened[0].substr(prefix.size(), opened[0].size() - prefix.size() - 2);
    // The name value is cut without half an escape, so the score still ends the
    // query: "game=Pearlwreck&name=", "AAA%20" groups, then the score.
    const std::string score = "&score=" + std::to_string(9 ^ 0x3C3C3C3);
    EXPECT_LE(query.size(), 255u);
    EXPECT_EQ(query.substr(0, 27), "game=Pearlwreck&name=AAA%20");
    ASSERT_GT(query.size(), 21 + score.size());
    EXPECT_EQ(query.substr(query.size() - score.size()), score);
    EXPECT_EQ((query.size() - 21 - score.size()) % 6 % 3, 0u) << query;
    EXPECT_EQ(opened[0].substr(opened[0].size() - 2), "||");
}

} // namespace
