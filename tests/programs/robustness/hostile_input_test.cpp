// Hostile files and folders handed to the real programs: each program keeps
// running or ends cleanly (exit code 0, nothing a sanitizer or the runtime
// reports), starts nothing it should not, and loses no stored file.
#include "robust_scripts.h"

#include <sys/stat.h>

namespace {

using namespace robust;

constexpr int MapBytes = 200 * 1406;

// Points across the whole chart (cells 14 by 12 pixels from (50, 84)).
std::string ClicksOnTheChart(int count, uint32_t seed) {
    std::mt19937 random(seed);
    std::string clicks;
    for (int i = 0; i < count; ++i)
        clicks += Click(52 + int(random() % 540), 86 + int(random() % 450), 300);
    return clicks;
}

// A new game, its round picture closed, then searches all over the chart.
std::string PlayAround(uint32_t seed) {
    return "click 754 506 left 120\nwait 1500\nclick 400 300 left 120\nwait 800\n" +
           ClicksOnTheChart(25, seed);
}

// The launcher's title page of Pearlwreck: the player fields, the players
// screen and back, the hall of fame and back.
std::string TitlePageAround() {
    std::string script;
    for (int slot = 0; slot < 8; ++slot)
        script += Click(PlayerField(slot), 150);
    script += Click(PlayersButton, 500) + "type Z\nwait 200\n" + Click(PlayersBackButton, 500);
    script += Click(HighScoresButton, 500) + Click(HallBackButton, 500);
    return script;
}

// Ran the whole script (up to its last shot), then ended with status 0 and no report.
void ExpectCleanEnd(const Outcome& outcome, const std::string& what, bool runsToTheEnd = true) {
    if (runsToTheEnd) {
        EXPECT_TRUE(outcome.reachedEnd) << what << ": the script did not reach its end";
    }
    EXPECT_EQ(outcome.status, 0) << what << "\n" << outcome.printed.substr(0, 4000);
    EXPECT_FALSE(HasFaultReport(outcome.printed)) << what << "\n"
                                                  << outcome.printed.substr(0, 4000);
}

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(LUDORA_DIST_DIR) / "Ludora") ||
            !fs::exists(fs::path(LUDORA_DIST_DIR) / "Pearlwreck" / "Pearlwreck"))
            GTEST_SKIP() << "no staged folder at " << LUDORA_DIST_DIR;
        folder = std::make_unique<StagedFolder>(LUDORA_DIST_DIR);
        ASSERT_TRUE(folder->Ready());
    }
    std::vector<std::string> Opened() const {
        std::vector<std::string> lines;
        std::istringstream in(ReadText(folder->ShellLog()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::unique_ptr<StagedFolder> folder;
};

TEST_F(HostileInput, IslandMapsOfRandomBytesDrawAndPlay) {
    const std::string maps = RandomBytes(MapBytes, 1301);
    WriteText(folder->Game() / "islands.dat", maps);
    for (uint32_t seed : {1u, 2u}) {
        const Outcome outcome = folder->RunGame(GameScript(PlayAround(seed)));
        ExpectCleanEnd(outcome, "random islands, seed " + std::to_string(seed));
    }
    // A map file cut in the middle of a map, and one of a single byte.
    WriteText(folder->Game() / "islands.dat", maps.substr(0, 1406 * 2 + 333));
    ExpectCleanEnd(folder->RunGame(GameScript(PlayAround(3))), "cut islands");
    WriteText(folder->Game() / "islands.dat", std::string(1, '\x80'));
    ExpectCleanEnd(folder->RunGame(GameScript(PlayAround(4))), "one byte of islands");
    EXPECT_EQ(ReadText(folder->Game() / "islands.dat"), std::string(1, '\x80'));
}

TEST_F(HostileInput, HallOfFameOfRandomBytesIsShownAndKept) {
    std::string scores = RandomBytes(5204, 1302);
    scores.replace(0, 4, std::string("\x14\0\0\0", 4)); // count 20, no name terminated
    const fs::path file = folder->Game() / "hiscore.dat";
    WriteText(file, scores);
    ExpectCleanEnd(folder->RunLauncher(LauncherScript(TitlePageAround()), {"Pearlwreck"}),
                   "launcher, random hall of fame");
    EXPECT_EQ(ReadText(file), scores);
    ExpectCleanEnd(folder->RunGame(GameScript(PlayAround(5))), "game, random hall of fame");
    // A game left before its end enters no score: the file is as it was.
    EXPECT_EQ(ReadText(file), scores);
}

TEST_F(HostileInput, LongPlayerNameAndPlayerNumberOutOfRange) {
    std::string options = "[setup]\r\nplayerid=99999\r\nsfx=Y\r\nmusic=Y\r\n";
    for (int slot = 1; slot <= 8; ++slot)
        options += "[Player" + std::to_string(slot) + "]\r\nname=" +
                   (slot == 1 ? std::string(10000, 'L') : "Player" + std::to_string(slot)) +
                   "\r\naddress=Street " + std::to_string(slot) + "\r\nemail=\r\nsend=Y\r\n";
    WriteText(folder->dist / "options.ini", options);
    ExpectCleanEnd(folder->RunLauncher(LauncherScript(TitlePageAround()), {"Pearlwreck"}),
                   "launcher, long name");
    ExpectCleanEnd(folder->RunGame(GameScript(PlayAround(6))), "game, long name");
    ExpectCleanEnd(folder->RunLauncher(LauncherScript("")), "launcher pages, long name");

    // Every player is still there; the players the programs did not touch are unchanged.
    const Profile after = ParseProfile(ReadText(folder->dist / "options.ini"));
    const Profile before = ParseProfile(options);
    for (int slot = 1; slot <= 8; ++slot) {
        const std::string section = "Player" + std::to_string(slot);
        ASSERT_TRUE(after.sections.count(section)) << section;
        if (slot > 1) {
            EXPECT_EQ(after.sections.at(section), before.sections.at(section)) << section;
        }
    }
    ASSERT_TRUE(after.sections.count("setup"));
    EXPECT_EQ(after.sections.at("setup").at("sfx"), "Y");
    EXPECT_EQ(after.sections.at("setup").at("music"), "Y");
}

TEST_F(HostileInput, GameFoldersWithHostileNamesStartNothingElse) {
    // A host file name holds at most 255 bytes; the launcher cuts texts at 255 too.
    const std::vector<std::string> names = {std::string(255, 'G'), "A game with spaces",
                                            "Quote's \"game\"", "semi;colon", "$(touch x)"};
    for (const std::string& name : names) {
        fs::create_directories(folder->dist / name);
        fs::copy_file(folder->Game() / "LudoraButton.bmp",
                      folder->dist / name / "LudoraButton.bmp");
    }
    // Six games fill slots 1 to 6: each one's title page, then Play.
    for (int slot = 1; slot <= 6; ++slot) {
        const int x = 14 + 257 * ((slot - 1) % 3) + 125;
        const int y = (slot <= 3 ? 140 : 247) + 50;
        const Outcome outcome = folder->RunLauncher(
            LauncherScript(Click(x, y, 600), Click(PlayButton, 800) + "click 400 300\nwait 300\n"),
            {}, {"LUDORA_SHELL_RUN=1"});
        ExpectCleanEnd(outcome, "slot " + std::to_string(slot));
    }
    // Each game was handed over by its own folder's name, whole, and nothing
    // ran a command hidden in a name. The folder of 255 characters makes a
    // path longer than the 255 the launcher keeps: its page stays closed and
    // nothing is started for it.
    const std::vector<std::string> opened = Opened();
    for (const std::string& name : names) {
        int found = 0;
        for (const std::string& line : opened)
            found += line.size() > name.size() &&
                     line.compare(line.size() - name.size() - 1, name.size() + 1, "|" + name) == 0;
        EXPECT_EQ(found, name.size() == 255 ? 0 : 1)
            << "the game in \"" << name.substr(0, 40) << "\"";
    }
    EXPECT_EQ(opened.size(), 5u); // the four others and Pearlwreck
    for (const std::string& line : opened)
        EXPECT_EQ(line.rfind("open|", 0), 0u) << line;
    for (const fs::path& place : {folder->root.path, folder->dist, folder->Game()})
        EXPECT_FALSE(fs::exists(place / "x")) << place;
    for (const std::string& name : names)
        EXPECT_FALSE(fs::exists(folder->dist / name / "x")) << name;
}

TEST_F(HostileInput, ButtonPictureThatIsNoPicture) {
    WriteText(folder->Game() / "LudoraButton.bmp", "BM this is not a picture at all");
    fs::create_directories(folder->dist / "Noise");
    WriteText(folder->dist / "Noise" / "LudoraButton.bmp", RandomBytes(3000, 1303));
    const std::string script = Click(SlotCentre(1), 600) + Click(MenuButton, 600) +
                               Click(SlotCentre(2), 600) + Click(MenuButton, 600);
    ExpectCleanEnd(folder->RunLauncher(LauncherScript(script)), "launcher, broken buttons");
    ExpectCleanEnd(folder->RunLauncher(LauncherScript(""), {"Pearlwreck"}),
                   "launcher on the title page, broken button");
}

// The game's window size from its setup.ini. A framed window is held between
// its smallest and largest tracking sizes, so the game runs; a pop-up of width
// 0 cannot have a display made for it and the game ends at once, status 0, no
// word.
TEST_F(HostileInput, WindowSizeOutOfAllReason) {
    WriteText(folder->Game() / "setup.ini",
              "[setup]\r\nfullscreen=0\r\nnowindow=0\r\nx=-70000\r\ny=-70000\r\nw=-5000\r\n"
              "h=100000\r\n");
    ExpectCleanEnd(folder->RunGame(GameScript(PlayAround(7))), "game, w -5000 h 100000");
    WriteText(folder->Game() / "setup.ini", "[setup]\r\nnowindow=1\r\nw=0\r\nh=-1\r\n");
    ExpectCleanEnd(folder->RunGame(GameScript(PlayAround(8))), "game, popup of width 0", false);
    // The launcher's window keeps its own size whatever the file says.
    WriteText(folder->dist / "setup.ini", "[setup]\r\nw=-5000\r\nh=100000\r\n");
    ExpectCleanEnd(folder->RunLauncher(LauncherScript(TitlePageAround()), {"Pearlwreck"}),
                   "launcher, w -5000 h 100000");
    EXPECT_EQ(ReadText(folder->Game() / "setup.ini"), "[setup]\r\nnowindow=1\r\nw=0\r\nh=-1\r\n");
}

// A window placed at the last coordinate the numbers hold: its rectangle stops
// at the end of the range instead of wrapping.
TEST_F(HostileInput, WindowAtTheLargestCoordinate) {
    WriteText(folder->Game() / "setup.ini",
              "[setup]\r\nnowindow=0\r\nx=2147483647\r\ny=2147483647\r\nw=800\r\nh=100000\r\n");
    ExpectCleanEnd(folder->RunGame(GameScript(PlayAround(10))), "game, x and y 2147483647");
}

TEST_F(HostileInput, MissingOrUnreadableLauncherFolder) {
    // The game's "menu" button hands back to the launcher named on its command line.
    const std::string menu = "click 679 546 left 120\nwait 1500\n";
    const fs::path missing = folder->root / "no such folder";
    ExpectCleanEnd(folder->RunGame(GameScript(menu), {missing.string()}, {"LUDORA_SHELL_RUN=1"}),
                   "missing launcher folder");
    const fs::path locked = folder->root / "locked";
    fs::create_directories(locked);
    chmod(locked.c_str(), 0);
    ExpectCleanEnd(folder->RunGame(GameScript(menu), {locked.string()}, {"LUDORA_SHELL_RUN=1"}),
                   "unreadable launcher folder");
    chmod(locked.c_str(), 0755);
    ExpectCleanEnd(
        folder->RunGame(GameScript(menu), {std::string(600, 'D')}, {"LUDORA_SHELL_RUN=1"}),
        "a command line of 600 characters");

    // The game's folder alone, without the launcher's files beside it.
    const fs::path alone = folder->root / "alone" / "Pearlwreck";
    fs::create_directories(alone.parent_path());
    fs::copy(folder->Game(), alone, fs::copy_options::recursive);
    // The layer's libraries lie one folder up from the game, as the program expects.
    for (const auto& entry : fs::directory_iterator(folder->dist))
        if (entry.path().extension() == ".so")
            fs::copy_file(entry.path(), alone.parent_path() / entry.path().filename());
    ExpectCleanEnd(folder->Run(alone, alone / "Pearlwreck", {folder->dist.string()},
                               GameScript(PlayAround(9) + menu), {"LUDORA_SHELL_RUN=1"}),
                   "game without the launcher's folder");
    for (const std::string& line : Opened())
        EXPECT_EQ(line.rfind("open|", 0), 0u) << line;
}

} // namespace
