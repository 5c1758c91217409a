// The Debian package as a player meets it: built by CPack, unpacked into a
// read-only root, and the installed programs played headless with a home of
// their own. Every save must land in the player's folder, the installed files
// must stay as they were, and a second start must find the saves again.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/game/reference_deal.h"
#include "tests/support/files.h"
#include "tests/support/launcher_places.h"
#include "tests/support/picture.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace testkit;

constexpr uint32_t Seed = 20261208;

// Every file and link under a folder with its mode and contents.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat info;
        lstat(entry.path().c_str(), &info);
        files[entry.path().string()] = std::to_string(info.st_mode) + ":" +
                                       (entry.is_regular_file() ? ReadText(entry.path()) : "");
    }
    return files;
}

class InstalledPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        package_ = std::make_unique<TempFolder>("ludora-package");
        if (!Installed("dpkg-deb") || !Installed("dpkg-shlibdeps")) return;
        const std::string cpack = "cpack --config " LUDORA_BUILD_DIR "/CPackConfig.cmake -B " +
                                  package_->path.string() + " > " + package_->File("cpack.log");
        if (std::system(cpack.c_str()) != 0) return;
        for (const auto& entry : fs::directory_iterator(package_->path)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("ludora_", 0) == 0 && name.ends_with("_amd64.deb")) game_ = entry.path();
            if (name.rfind("ludora-site_", 0) == 0) site_ = entry.path();
        }
    }
    static void TearDownTestSuite() { package_.reset(); }

    void SetUp() override {
        if (!Installed("dpkg-deb") || !Installed("dpkg-shlibdeps"))
            GTEST_SKIP() << "dpkg-dev is not installed";
        ASSERT_FALSE(game_.empty()) << ReadText(*package_ / "cpack.log");
        fs::create_directories(root_);
        ASSERT_EQ(std::system(("dpkg-deb -x " + game_.string() + " " + root_.string()).c_str()), 0);
        ASSERT_EQ(std::system(("chmod -R a-w " + root_.string()).c_str()), 0);
        fs::create_directories(shots_);
        fs::create_directories(temp_ / "home");
        setenv("HOME", (temp_ / "home").c_str(), 1);
        setenv("XDG_DATA_HOME", data_.c_str(), 1);
        setenv("LUDORA_SEED", std::to_string(Seed).c_str(), 1);
        unsetenv("LUDORA_DATA_DIR");
    }
    void TearDown() override {
        StopProgramsUnder(dist_);
        // The unpacked root is read-only: writable again, so the folder can be removed.
        std::system(("chmod -R u+w " + temp_.string()).c_str());
    }

    // The installed `ludora` command with settings before it; its stderr goes to `errors`.
    int Command(const std::string& settings, const std::string& arguments, const fs::path& errors) {
        const std::string line = "cd / && " + settings + " timeout 60 " +
                                 (root_ / "usr/games/ludora").string() + " " + arguments + " 2> " +
                                 errors.string();
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static inline std::unique_ptr<TempFolder> package_;
    static inline fs::path game_, site_;
    TempFolder folder_{"ludora-installed"};
    const fs::path temp_ = folder_.path, root_ = temp_ / "root", dist_ = root_ / "usr/lib/ludora",
                   data_ = temp_ / "data", shots_ = temp_ / "shots",
                   shellLog_ = temp_ / "shell.log";
};

// The game's script: a new game, one piece found, then every search spent on
// open water until the game is over and enters the hall of fame; then "menu".
std::string GameScript(const fs::path& islandsFile) {
    const std::vector<uint8_t> islands = ReadBytes(islandsFile);
    // Start-up deals map 0 once and the new game deals it again.
    reference::Rand rand(Seed);
    reference::Chart chart = reference::ChartOfMap(islands, 0);
    reference::Place(chart, rand);
    chart = reference::ChartOfMap(islands, 0);
    reference::Place(chart, rand);
    auto cell = [](int index) {
        return "click " + std::to_string(reference::CellX(index) + 9) + " " +
               std::to_string(reference::CellY(index) + 9) + "\nwait 100\n";
    };
    std::string script = "wait 500\nclick 400 300 left 250\nwait 1500\n"; // the splash
    script += "click 754 506 left 250\nwait 1500\nclick 400 300 left 250\nwait 800\n";
    int found = 0;
    while (chart.treasure[found] != 1)
        ++found;
    script += cell(found);
    for (int i = 0, misses = 0; i < reference::Cells && misses < 25; ++i)
        if (!chart.treasure[i] && !chart.hidden[i] && chart.tile[i] == -1)
            script += cell(i), ++misses;
    // Game over: its picture is clicked away, then "menu" and the credit picture.
    return script + "wait 4500\nclick 400 300 left 250\nwait 2500\nclick 683 552\nwait 300\n"
                    "click 400 300\n";
}

TEST_F(InstalledPackage, SavesGoHomeAndTheInstalledFolderStaysAsItWas) {
    const auto before = Snapshot(root_);
    const fs::path store = data_ / "ludora";
    // The scripts are read where the programs look first: the player's folder.
    fs::create_directories(store / "Pearlwreck");
    WriteText(store / "Pearlwreck" / "script.txt", GameScript(dist_ / "Pearlwreck/islands.dat"));
    WriteText(store / "script.txt", "wait 300\nclick 400 60\nwait 500\n" + Click(SlotCentre(1)) +
                                        "wait 300\n" + Click(PlayerField(1)) + Click(SfxSwitch) +
                                        "wait 300\n" + Click(PlayButton) + "click 400 300\n");
    // Started by the installed command, four times faster; the programs start one another.
    const std::string session = "LUDORA_VIDEO=headless LUDORA_AUDIO=none LUDORA_TIME_SCALE=4 "
                                "LUDORA_SHELL_RUN=1 LUDORA_SHELL_LOG=" +
                                shellLog_.string() + " LUDORA_SCRIPT=";
    EXPECT_EQ(Command(session + "script.txt", "", temp_ / "err.txt"), 0);
    // The launcher the game hands back to reads this one.
    WriteText(store / "script.txt", "wait 300\nclick 400 60\nwait 600\n" +
                                        Shot(shots_ / "back.bmp") + "wait 100\nclose\n");
    for (int waited = 0; waited < 90000 && !ReadBmp(shots_ / "back.bmp").Loaded(); waited += 20)
        usleep(20000);
    // Until no program of the installed folder runs any more.
    for (int waited = 0; waited < 60000 && !ProgramsUnder(dist_).empty(); waited += 20)
        usleep(20000);
    EXPECT_TRUE(ReadBmp(shots_ / "back.bmp").Loaded()) << "the game did not hand back";
    // The hand-over names the installed folder, as the programs see it.
    const std::string root = dist_.string();
    EXPECT_EQ(ReadLines(shellLog_), // "verb|file|parameters|directory"
              (std::vector<std::string>{"open|Pearlwreck.exe|" + root + "|Pearlwreck",
                                        "open|" + root + "\\Ludora.exe|Pearlwreck|" + root}));

    const std::string options = ReadText(store / "options.ini");
    EXPECT_NE(options.find("playerid=1"), std::string::npos) << options;
    EXPECT_NE(options.find("SFX=N"), std::string::npos) << options;
    // One find of 125 in the first of twenty places.
    const std::string hall = ReadText(store / "Pearlwreck" / "hiscore.dat");
    ASSERT_EQ(hall.size(), 4u + 20u * 260u);
    EXPECT_EQ(hall[0], 20);
    EXPECT_EQ(uint8_t(hall[4 + 256]), 125);
    EXPECT_TRUE(fs::exists(store / "Pearlwreck" / "debug.log"));
    EXPECT_EQ(Snapshot(root_), before) << "the installed folder changed";

    // A second start shows the switch off and the hall of fame's first place written.
    WriteText(temp_ / "again.txt", "wait 300\nclick 400 60\nwait 500\n" + Click(SlotCentre(1)) +
                                       "wait 300\n" + Shot(shots_ / "title.bmp") +
                                       Click(HighScoresButton) + "wait 200\n" +
                                       Shot(shots_ / "hall.bmp") + "close\n");
    EXPECT_EQ(Command(session + (temp_ / "again.txt").string(), "", temp_ / "err.txt"), 0);
    const auto off =
        MatchFrame(ReadBmp(shots_ / "title.bmp"), ReadBmp(dist_ / "sfx.bmp"), 2, 1, 52, 505);
    EXPECT_EQ(off.first, off.second);
    constexpr Rgb PurpleInk = Rgb::FromPacked(0x702896);
    EXPECT_GT(CountColour(ReadBmp(shots_ / "hall.bmp"), 53 + 56, 18 + 275, 300, 20, PurpleInk), 20);
    EXPECT_EQ(Snapshot(root_), before);
}

TEST_F(InstalledPackage, CommandAnswersAndAnUnwritableHomeOnlyStopsTheSaves) {
    const fs::path out = temp_ / "out.txt";
    EXPECT_EQ(Command("", "--version >" + out.string(), temp_ / "err.txt"), 0);
    EXPECT_EQ(ReadText(out), "ludora 1.0\n");
    EXPECT_EQ(Command("", "--help >" + out.string(), temp_ / "err.txt"), 0);
    EXPECT_NE(ReadText(out).find("Usage: ludora"), std::string::npos);

    // A home that is a file: nothing can be made below it, even by root.
    WriteText(temp_ / "not-a-folder", "");
    WriteText(temp_ / "quit.txt", "wait 300\nclick 400 60\nwait 300\n" + Click(SlotCentre(1)) +
                                      "wait 300\n" + Click(SfxSwitch) + "wait 100\nclose\n");
    const std::string settings =
        "env -u XDG_DATA_HOME HOME=" + (temp_ / "not-a-folder").string() +
        " LUDORA_VIDEO=headless LUDORA_AUDIO=none LUDORA_SCRIPT=" + (temp_ / "quit.txt").string();
    const auto before = Snapshot(root_);
    EXPECT_EQ(Command(settings, "", temp_ / "err.txt"), 0);
    const std::vector<std::string> lines = ReadLines(temp_ / "err.txt");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("playing without saving"), std::string::npos) << lines[0];
    EXPECT_EQ(Snapshot(root_), before);
}

// The validators, where they are installed.
TEST_F(InstalledPackage, PassesTheDesktopChecks) {
    const fs::path share = root_ / "usr/share";
    auto passes = [](const std::string& tool, const std::string& arguments) {
        if (Installed(tool)) return std::system((tool + " " + arguments).c_str()) == 0;
        std::printf("%s is not installed: not checked\n", tool.c_str());
        return true;
    };
    EXPECT_TRUE(passes("desktop-file-validate", (share / "applications/ludora.desktop").string()));
    EXPECT_TRUE(
        passes("appstreamcli", "validate --no-net " +
                                   (share / "metainfo/org.ludora.Ludora.metainfo.xml").string()));
    for (int size : {32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::string icon = ReadText(share / "icons/hicolor" / name / "apps/ludora.png");
        // The PNG header's width, big-endian at byte 16.
        ASSERT_GT(icon.size(), 24u) << name;
        EXPECT_EQ(uint8_t(icon[18]) * 256 + uint8_t(icon[19]), size);
    }
    ASSERT_FALSE(site_.empty());
    const fs::path site = temp_ / "site";
    ASSERT_EQ(std::system(("dpkg-deb -x " + site_.string() + " " + site.string()).c_str()), 0);
    fs::path unit;
    for (const auto& entry : fs::recursive_directory_iterator(site))
        if (entry.path().filename() == "ludora-site.service") unit = entry.path();
    ASSERT_FALSE(unit.empty());
    // Exposure 3.0 or less, on the tool's scale of tenths.
    EXPECT_TRUE(passes("systemd-analyze",
                       "security --offline=true --threshold=30 " + unit.string() + " >/dev/null"));
    EXPECT_TRUE(passes("lintian", "--fail-on error " + game_.string() + " " + site_.string()));
}

} // namespace
