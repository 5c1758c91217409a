// Frame layouts, placements and the colour key of every picture, checked against the places
// where the screens draw them.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "content_files.h"

using namespace content_test;

namespace {

struct Rect {
    int x, y, w, h;
    bool inside(const Rect& o) const {
        return x >= o.x && y >= o.y && x + w <= o.x + o.w && y + h <= o.y + o.h;
    }
    bool overlaps(const Rect& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};
const Rect kScreen{0, 0, 800, 600};

// A strip of `frames` looks: the width divides evenly and the looks differ from one another.
void expect_strip(const std::string& name, int frames, bool looks_differ = true) {
    SCOPED_TRACE(name);
    Picture p = picture(name);
    ASSERT_GT(p.width, 0);
    EXPECT_EQ(p.width % frames, 0)
        << "width " << p.width << " is not " << frames << " equal frames";
    if (!looks_differ) return;
    for (int i = 1; i < frames; ++i)
        EXPECT_FALSE(same_pixels(frame_of(p, frames, 0), frame_of(p, frames, i)));
}

Rect placed(const std::string& name, int x, int y, int frames = 1) {
    Picture p = picture(name);
    return {x, y, p.width / frames, p.height};
}

std::vector<std::string> all_pictures() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(LUDORA_DIST_DIR)) {
        if (entry.path().extension() != ".bmp") continue;
        std::string rel = std::filesystem::relative(entry.path(), LUDORA_DIST_DIR).string();
        for (char& c : rel)
            if (c == '/') c = '\\';
        names.push_back(rel);
    }
    return names;
}

} // namespace

TEST(Pictures, ButtonsHaveTheirFramesSideBySide) {
    for (const char* name : {"Pearlwreck\\help.bmp", "Pearlwreck\\newgame.bmp",
                             "Pearlwreck\\menu.bmp", "Pearlwreck\\exit.bmp", "GameButton.bmp"})
        expect_strip(name, 3);
    for (const char* name :
         {"PageArrowsLeft.bmp", "PageArrowsRight.bmp", "Info.bmp", "SmallExit.bmp",
          "backbutton.bmp", "HowToPlayButton.bmp", "PlayButton.bmp", "HighScoresButton.bmp",
          "MenuButton.bmp", "CreditsButton.bmp", "ExitButton.bmp", "PlayersButton.bmp",
          "UploadButton.bmp", "ClearScores.bmp", "EnterButton.bmp", "RemoveButton.bmp"})
        expect_strip(name, 2);
}

TEST(Pictures, SwitchesShowTwoLooksOfOneSize) {
    for (const char* name : {"sfx.bmp", "music.bmp", "yesno.bmp"}) {
        expect_strip(name, 2);
        Picture p = picture(name);
        EXPECT_EQ(p.width / 2 * 2, p.width) << name;
    }
    for (int bonus = 3; bonus <= 15; bonus += 3)
        expect_strip(numbered("Pearlwreck\\turnbonus", bonus, ".bmp"), 2);
}

TEST(Pictures, DigitStripsHoldTenDistinctDigits) {
    for (const char* name : {"Pearlwreck\\NumberFont.bmp", "PageNumbers.bmp"}) {
        SCOPED_TRACE(name);
        Picture p = picture(name);
        ASSERT_EQ(p.width % 10, 0);
        std::vector<Picture> digits;
        for (int d = 0; d < 10; ++d) {
            digits.push_back(frame_of(p, 10, d));
            int opaque = 0;
            for (uint32_t c : digits.back().pixels)
                opaque += c != kKey;
            EXPECT_GT(opaque, 10) << "digit " << d << " is empty";
            for (int e = 0; e < d; ++e)
                EXPECT_FALSE(same_pixels(digits[e], digits[d])) << e << " and " << d;
        }
    }
}

TEST(Pictures, ScoreValuesFillAFiveByFiveGridOfSmallCells) {
    Picture p = picture("Pearlwreck\\scores.bmp");
    ASSERT_EQ(p.width, 5 * 24);
    ASSERT_EQ(p.height, 5 * 12);
    // Levels 4 and 5 are both worth 200, so those cells match; every other pair differs.
    for (int k = 0; k < 5; ++k) {
        std::vector<std::vector<uint32_t>> cells(5);
        for (int level = 0; level < 5; ++level) {
            int opaque = 0;
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 24; ++x) {
                    uint32_t c = p.at(level * 24 + x, k * 12 + y);
                    cells[level].push_back(c);
                    opaque += c != kKey;
                }
            EXPECT_GT(opaque, 20) << "treasure " << k + 1 << " level " << level + 1;
        }
        EXPECT_EQ(cells[3], cells[4]) << "treasure " << k + 1;
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                EXPECT_NE(cells[a], cells[b]) << "treasure " << k + 1;
    }
}

TEST(Pictures, PopUpsAndPagesFitWhereTheyAreShown) {
    for (int n = 1; n <= 9; ++n)
        EXPECT_TRUE(placed(numbered("Pearlwreck\\round", n, ".bmp"), 135, 153).inside(kScreen));
    EXPECT_TRUE(placed("Pearlwreck\\gameover.bmp", 135, 153).inside(kScreen));
    EXPECT_TRUE(placed("Pearlwreck\\congrats.bmp", 135, 153).inside(kScreen));
    EXPECT_TRUE(placed("Pearlwreck\\hallfamepop.bmp", 250, 202).inside(kScreen));
    for (const char* page : {"Pearlwreck\\title\\HowToPlay.bmp", "Pearlwreck\\title\\Credits.bmp",
                             "HallOfFameScreen.bmp", "PlayerInfo.bmp"})
        EXPECT_TRUE(placed(page, 53, 18).inside(kScreen)) << page;
    // The game centres its help page; it must land where the launcher shows it too.
    Picture help = picture("Pearlwreck\\title\\HowToPlay.bmp");
    EXPECT_TRUE((Rect{400 - help.width / 2, 300 - help.height / 2, help.width, help.height}.inside(
        kScreen)));
    for (const char* full :
         {"background.bmp", "Pearlwreck\\background.bmp", "Pearlwreck\\title\\titlebackground.bmp",
          "Title\\TovikSplash.bmp", "Title\\TovikCredit.bmp", "Pearlwreck\\Title\\TovikSplash.bmp",
          "Pearlwreck\\Title\\TovikCredit.bmp"}) {
        Picture p = picture(full);
        EXPECT_EQ(p.width, 800) << full;
        EXPECT_EQ(p.height, 600) << full;
    }
}

TEST(Pictures, ButtonsOnEachPageStayOnThePageAndApart) {
    // Positions relative to each page's top-left, as the screens place them.
    Picture info = picture("infoscreen.bmp");
    Rect info_page{400 - info.width / 2, 300 - info.height / 2, info.width, info.height};
    EXPECT_TRUE(info_page.inside(kScreen));
    EXPECT_TRUE(
        placed("backbutton.bmp", info_page.x + 689, info_page.y + 370, 2).inside(info_page));

    Rect hall = placed("HallOfFameScreen.bmp", 53, 18);
    std::vector<Rect> hall_buttons = {placed("UploadButton.bmp", 53 + 552, 18 + 88, 2),
                                      placed("ClearScores.bmp", 53 + 552, 18 + 149, 2),
                                      placed("BackButton.bmp", 53 + 595, 18 + 220, 2)};
    Rect players = placed("PlayerInfo.bmp", 53, 18);
    std::vector<Rect> player_buttons = {placed("EnterButton.bmp", 53 + 474, 18 + 471, 2),
                                        placed("RemoveButton.bmp", 53 + 360, 18 + 471, 2),
                                        placed("BackButton.bmp", 53 + 608, 18 + 489, 2),
                                        placed("yesno.bmp", 53 + 37, 18 + 486, 2),
                                        {53 + 50, 18 + 282, 580, 26},
                                        {53 + 50, 18 + 348, 580, 26},
                                        {53 + 50, 18 + 416, 580, 26}};
    for (auto [page, buttons] : {std::pair{hall, hall_buttons}, std::pair{players, player_buttons}})
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_TRUE(buttons[i].inside(page)) << i;
            for (size_t j = i + 1; j < buttons.size(); ++j)
                EXPECT_FALSE(buttons[i].overlaps(buttons[j])) << i << " " << j;
        }
    // The hall of fame's twenty rows lie on its page, clear of its buttons; seven-digit scores
    // are common once rounds have doubled them.
    Picture row_font = picture("HallBlackFont.bmp");
    EXPECT_LE(row_font.height, 26);
    Rect rows{56 - 3, 275 - 3, 53 + 534 + 70 - 56, 26 * 9 + row_font.height + 6};
    EXPECT_TRUE(rows.inside(hall));
    for (size_t i = 0; i < hall_buttons.size(); ++i)
        EXPECT_FALSE(rows.overlaps(hall_buttons[i])) << "button " << i << " covers the rows";
}

namespace {

// Text is drawn from a field's top-left corner. The picture under it must be plain paper a few
// pixels beyond that corner and below the font, or the letters run into the field's rim.
void expect_plain_behind(const Picture& page, const std::string& page_name, Rect text,
                         const std::string& what) {
    const int margin = 3;
    uint32_t paper = page.at(text.x, text.y);
    int off = 0;
    for (int y = text.y - margin; y < text.y + text.h + margin; ++y)
        for (int x = text.x - margin; x < text.x + text.w; ++x)
            off += page.at(x, y) != paper;
    EXPECT_EQ(off, 0) << page_name << ": " << what << " at " << text.x << "," << text.y
                      << " is not on plain paper";
}

} // namespace

TEST(Pictures, NamesAndScoresAreWrittenOnPlainPaperClearOfTheRims) {
    const int font_height = picture("n_font.bmp").height;
    ASSERT_EQ(picture("h_font.bmp").height, font_height);
    Picture title = picture("Pearlwreck\\title\\titlebackground.bmp");
    const int fields[8][2] = {{239, 378}, {408, 378}, {238, 420}, {408, 420},
                              {238, 464}, {408, 464}, {238, 510}, {408, 510}};
    for (auto& f : fields)
        expect_plain_behind(title, "title page", {f[0], f[1], 150, font_height}, "player field");
    // Pages are placed at (53, 18); positions below are on the page.
    Picture players = picture("PlayerInfo.bmp");
    for (int y : {282, 348, 416})
        expect_plain_behind(players, "players page", {50, y, 580, font_height}, "field");
    Picture hall = picture("HallOfFameScreen.bmp");
    const int row_height = picture("HallBlackFont.bmp").height;
    for (int r = 0; r < 10; ++r) {
        int y = 275 - 18 + 26 * r;
        expect_plain_behind(hall, "hall of fame", {56 - 53, y, 250, row_height}, "left row");
        expect_plain_behind(hall, "hall of fame", {334, y, 250, row_height}, "right row");
    }
}

TEST(Pictures, LauncherScreensKeepTheirButtonsApart) {
    std::vector<Rect> shelf = {placed("PageArrowsLeft.bmp", 638, 19, 2),
                               placed("PageArrowsRight.bmp", 739, 19, 2),
                               placed("Info.bmp", 637, 89, 2), placed("SmallExit.bmp", 718, 89, 2)};
    Picture digits = picture("PageNumbers.bmp");
    shelf.push_back({716 - digits.width / 10, 30, digits.width / 10, digits.height}); // page 1
    const int slot_x[3] = {14, 271, 528}, slot_y[4] = {140, 247, 355, 461};
    for (int slot = 0; slot < 12; ++slot)
        shelf.push_back(placed("GameButton.bmp", slot_x[slot % 3], slot_y[slot / 3], 3));
    std::vector<Rect> title = {placed("HowToPlayButton.bmp", 52, 296, 2),
                               placed("PlayButton.bmp", 636, 296, 2),
                               placed("HighScoresButton.bmp", 52, 365, 2),
                               placed("MenuButton.bmp", 636, 365, 2),
                               placed("CreditsButton.bmp", 52, 435, 2),
                               placed("ExitButton.bmp", 636, 435, 2),
                               placed("PlayersButton.bmp", 280, 318, 2),
                               placed("sfx.bmp", 52, 505, 2),
                               placed("music.bmp", 106, 505, 2)};
    const int fields[8][2] = {{239, 378}, {408, 378}, {238, 420}, {408, 420},
                              {238, 464}, {408, 464}, {238, 510}, {408, 510}};
    for (auto& f : fields)
        title.push_back({f[0], f[1], 150, 30});
    for (const auto* screen : {&shelf, &title})
        for (size_t i = 0; i < screen->size(); ++i) {
            EXPECT_TRUE((*screen)[i].inside(kScreen)) << i;
            for (size_t j = i + 1; j < screen->size(); ++j)
                EXPECT_FALSE((*screen)[i].overlaps((*screen)[j])) << i << " overlaps " << j;
        }
    // The collect picture and a game's button fill a game slot exactly.
    Picture collect = picture("CollectButton.bmp");
    EXPECT_EQ(collect.width, shelf[5].w);
    EXPECT_EQ(collect.height, shelf[5].h);
}

TEST(Pictures, NoDrawnPixelTurnsIntoTheKeyAtFifteenOrSixteenBits) {
    std::vector<std::string> names = all_pictures();
    EXPECT_GT(names.size(), 70u);
    for (const std::string& name : names) {
        Picture p;
        ASSERT_TRUE(load_picture(name, p)) << name;
        int bad = 0;
        for (uint32_t c : p.pixels) {
            int r = int(c >> 16) & 255, g = int(c >> 8) & 255, b = int(c) & 255;
            if (c != kKey && b >= 248 && r < 8 && g < 8) ++bad;
        }
        EXPECT_EQ(bad, 0) << name;
    }
}

TEST(Pictures, FullScreenPicturesAreOpaque) {
    // Splash, credits and page backgrounds are copied whole: a keyed pixel would show garbage.
    for (const char* name :
         {"background.bmp", "Pearlwreck\\background.bmp", "Pearlwreck\\title\\titlebackground.bmp",
          "Title\\TovikSplash.bmp", "Title\\TovikCredit.bmp", "Pearlwreck\\Title\\TovikSplash.bmp",
          "Pearlwreck\\Title\\TovikCredit.bmp", "Pearlwreck\\title\\HowToPlay.bmp",
          "Pearlwreck\\title\\Credits.bmp"}) {
        Picture p = picture(name);
        int keyed = 0;
        for (uint32_t c : p.pixels)
            keyed += c == kKey;
        EXPECT_EQ(keyed, 0) << name;
    }
}
