// Saves killed at any moment: the hall of fame and the options file are
// always either the old file or the new one, whole. A driver performs the
// programs' save sequences and is killed a few hundred times at moments
// drawn from a fixed seed; then the launcher itself is killed during its own
// saves (the sound switch, a cleared hall of fame).
#include "robust_scripts.h"

#include <poll.h>

#include <chrono>
#include <cstring>

namespace {

using namespace robust;

constexpr int ScoreSteps = 40;
constexpr int OptionsSteps = 44; // four rounds of the launcher's eleven writes
constexpr int Kills = 150;       // per file

// ---- The expected files, worked out here from the save rules. ----

void PutLittle(std::string& bytes, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
}

// Twenty places of 256 name bytes and a score, after a count of 20.
std::string ScoreFile(const std::vector<std::pair<std::string, int32_t>>& places) {
    std::string bytes(4 + 260 * 20, '\0');
    PutLittle(bytes, 0, 20);
    for (size_t i = 0; i < places.size() && i < 20; ++i) {
        std::memcpy(&bytes[4 + 260 * i], places[i].first.data(), places[i].first.size());
        PutLittle(bytes, 4 + 260 * i + 256, places[i].second);
    }
    return bytes;
}

std::vector<std::pair<std::string, int32_t>> OldPlaces() {
    std::vector<std::pair<std::string, int32_t>> places;
    for (int i = 0; i < 20; ++i)
        places.emplace_back("Old place " + std::to_string(i + 1), 9 - i / 3);
    return places;
}

// After `steps` saves each new score (10 per step) heads the table.
std::string ScoresAfter(int steps) {
    std::vector<std::pair<std::string, int32_t>> places;
    for (int step = steps; step >= 1 && places.size() < 20; --step)
        places.emplace_back("Player step " + std::to_string(step), 10 * step);
    for (const auto& old : OldPlaces())
        if (places.size() < 20) places.push_back(old);
    return ScoreFile(places);
}

using Sections = std::map<std::string, std::map<std::string, std::string>>;

Sections OldOptions() {
    Sections sections;
    sections["setup"] = {{"sfx", "Y"}, {"music", "Y"}, {"playerid", "0"}};
    for (int slot = 1; slot <= 8; ++slot)
        sections["Player" + std::to_string(slot)] = {{"name", "Player" + std::to_string(slot)},
                                                     {"address", ""},
                                                     {"email", ""},
                                                     {"send", "Y"}};
    return sections;
}

std::string OptionsText(const Sections& sections) {
    std::string text;
    for (const auto& [name, keys] : sections) {
        text += "[" + name + "]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
    }
    return text;
}

// The launcher's writes in its order: a player entered (four keys), the
// current player, the sound and music switches, the player cleared again.
Sections OptionsAfter(int steps) {
    Sections sections = OldOptions();
    for (int step = 1; step <= steps; ++step) {
        const int round = (step - 1) / 11;
        const std::string player = "Player" + std::to_string(round % 8 + 1);
        const std::string tag = std::to_string(round);
        const char* on = round % 2 ? "Y" : "N";
        switch ((step - 1) % 11) {
        case 0:
            sections[player]["name"] = "Name " + tag;
            break;
        case 1:
            sections[player]["address"] = "Road " + tag;
            break;
        case 2:
            sections[player]["email"] = "p" + tag + "@example.org";
            break;
        case 3:
            sections[player]["send"] = on;
            break;
        case 4:
            sections["setup"]["playerid"] = std::to_string(round % 8);
            break;
        case 5:
            sections["setup"]["sfx"] = on;
            break;
        case 6:
            sections["setup"]["music"] = round % 2 ? "N" : "Y";
            break;
        case 7:
            sections[player]["name"] = player;
            break;
        case 8:
            sections[player]["address"] = "";
            break;
        case 9:
            sections[player]["email"] = "";
            break;
        default:
            sections[player]["send"] = "Y";
            break;
        }
    }
    return sections;
}

// ---- The driver, started and killed. ----

struct DriverRun {
    int completed = 0; // the last step it reported
    bool finished = false;
    std::chrono::microseconds lastReport{0}; // from "ready" to the last step reported
};

// Starts the driver in `folder`, waits for it to be ready, kills it after
// `delay` (or lets it finish when negative) and collects what it reported.
DriverRun RunDriver(const fs::path& folder, const char* mode, int steps,
                    std::chrono::microseconds delay) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    const std::string stepsText = std::to_string(steps);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 1);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (chdir(folder.c_str()) != 0) _exit(126);
        execl(LUDORA_SAVE_DRIVER, LUDORA_SAVE_DRIVER, mode, stepsText.c_str(), nullptr);
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string heard;
    auto readSome = [&](int timeoutMilliseconds) {
        pollfd wait{pipeEnds[0], POLLIN, 0};
        if (poll(&wait, 1, timeoutMilliseconds) <= 0) return false;
        char buffer[512];
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) return false;
        heard.append(buffer, static_cast<size_t>(got));
        return true;
    };
    while (heard.find("ready\n") == std::string::npos && readSome(20000)) {
    }
    const auto ready = std::chrono::steady_clock::now();
    auto lastReport = ready;
    if (delay.count() >= 0) {
        const auto until = std::chrono::steady_clock::now() + delay;
        while (std::chrono::steady_clock::now() < until) {
        }
        kill(child, SIGKILL);
    }
    while (readSome(20000))
        lastReport = std::chrono::steady_clock::now();
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    DriverRun run;
    run.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.lastReport = std::chrono::duration_cast<std::chrono::microseconds>(lastReport - ready);
    std::istringstream lines(heard);
    for (std::string line; std::getline(lines, line);)
        if (line != "ready") run.completed = std::atoi(line.c_str());
    return run;
}

class Scratch : public TempFolder {
public:
    Scratch() : TempFolder("ludora-kill") {}
    // Everything in the folder but the named file: what a killed save left.
    int Leftovers(const std::string& keep) const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(path))
            count += entry.path().filename() != keep;
        return count;
    }
    void Empty() const {
        for (const auto& entry : fs::directory_iterator(path))
            fs::remove(entry.path());
    }
};

// How long an uninterrupted run takes from "ready" to its last save, with the file in place.
std::chrono::microseconds TimeWholeRun(const Scratch& scratch, const char* mode, int steps,
                                       const std::string& file, const std::string& old) {
    WriteText(scratch.path / file, old);
    const DriverRun whole = RunDriver(scratch.path, mode, steps, std::chrono::microseconds(-1));
    EXPECT_TRUE(whole.finished);
    EXPECT_EQ(whole.completed, steps);
    return whole.lastReport;
}

TEST(KilledSaves, HallOfFameIsAlwaysTheOldOrTheNewTableWhole) {
    Scratch scratch;
    ASSERT_FALSE(scratch.path.empty());
    const std::string old = ScoresAfter(0);
    ASSERT_EQ(old, ScoreFile(OldPlaces()));
    const auto whole = TimeWholeRun(scratch, "hiscore", ScoreSteps, "hiscore.dat", old);
    ASSERT_EQ(ReadText(scratch.path / "hiscore.dat"), ScoresAfter(ScoreSteps));

    std::mt19937 random(20131);
    int cutShort = 0, leftovers = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        scratch.Empty();
        WriteText(scratch.path / "hiscore.dat", old);
        const auto delay = std::chrono::microseconds(random() % (whole.count() + 1));
        const DriverRun run = RunDriver(scratch.path, "hiscore", ScoreSteps, delay);
        const std::string now = ReadText(scratch.path / "hiscore.dat");
        const bool asReported = now == ScoresAfter(run.completed);
        const bool oneMore = run.completed < ScoreSteps && now == ScoresAfter(run.completed + 1);
        ASSERT_TRUE(asReported || oneMore)
            << "kill " << kill << " after " << delay.count() << " us, step " << run.completed
            << " reported: the file (" << now.size() << " bytes) is neither table";
        cutShort += run.completed < ScoreSteps;
        leftovers += scratch.Leftovers("hiscore.dat") > 0;
    }
    // Many kills land while saves are still going on (about half on a quiet
    // machine; fewer when the machine is busier than it was for the timed run).
    EXPECT_GT(cutShort, Kills / 4);
    RecordProperty("killed_before_the_end", cutShort);
    RecordProperty("killed_inside_a_save", leftovers);
    std::printf("hall of fame: %d kills, %d before the last save, %d inside a save\n", Kills,
                cutShort, leftovers);
}

TEST(KilledSaves, OptionsFileIsAlwaysTheOldOrTheNewFileWhole) {
    Scratch scratch;
    ASSERT_FALSE(scratch.path.empty());
    const std::string old = OptionsText(OldOptions());
    const auto whole = TimeWholeRun(scratch, "options", OptionsSteps, "options.ini", old);
    const Profile finished = ParseProfile(ReadText(scratch.path / "options.ini"));
    ASSERT_TRUE(finished.whole);
    ASSERT_EQ(finished.sections, OptionsAfter(OptionsSteps));

    std::mt19937 random(20132);
    int cutShort = 0, leftovers = 0, playerHalfWritten = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        scratch.Empty();
        WriteText(scratch.path / "options.ini", old);
        const auto delay = std::chrono::microseconds(random() % (whole.count() + 1));
        const DriverRun run = RunDriver(scratch.path, "options", OptionsSteps, delay);
        const Profile now = ParseProfile(ReadText(scratch.path / "options.ini"));
        ASSERT_TRUE(now.whole) << "kill " << kill << ": a cut line in the options file";
        const bool asReported = now.sections == OptionsAfter(run.completed);
        const bool oneMore =
            run.completed < OptionsSteps && now.sections == OptionsAfter(run.completed + 1);
        ASSERT_TRUE(asReported || oneMore)
            << "kill " << kill << " after " << delay.count() << " us, write " << run.completed
            << " reported: the file is neither the old nor the new one";
        cutShort += run.completed < OptionsSteps;
        leftovers += scratch.Leftovers("options.ini") > 0;
        // Each write is whole, the sequence is not: a player entered key by key
        // can be left with a new name beside its old address.
        const int inRound = run.completed % 11;
        playerHalfWritten += run.completed < OptionsSteps && inRound >= 1 && inRound <= 3;
    }
    EXPECT_GT(cutShort, Kills / 4);
    std::printf("options: %d kills, %d before the last write, %d inside a write, %d between a "
                "player's keys\n",
                Kills, cutShort, leftovers, playerHalfWritten);

    // What a killed write left behind goes with the next good write, once it is
    // old enough not to belong to a writer still at work.
    std::mt19937 again(20134);
    for (int kill = 0; kill < Kills && scratch.Leftovers("options.ini") == 0; ++kill) {
        scratch.Empty();
        WriteText(scratch.path / "options.ini", old);
        RunDriver(scratch.path, "options", OptionsSteps,
                  std::chrono::microseconds(again() % (whole.count() + 1)));
    }
    ASSERT_GT(scratch.Leftovers("options.ini"), 0) << "no kill landed inside a write";
    // The old file again, so the first write changes it (an unchanged file is
    // not written).
    WriteText(scratch.path / "options.ini", old);
    ASSERT_NE(OptionsAfter(1), OptionsAfter(0));
    for (const auto& entry : fs::directory_iterator(scratch.path))
        fs::last_write_time(entry.path(),
                            fs::file_time_type::clock::now() - std::chrono::minutes(5));
    const DriverRun tidy = RunDriver(scratch.path, "options", 1, std::chrono::microseconds(-1));
    EXPECT_TRUE(tidy.finished);
    EXPECT_EQ(scratch.Leftovers("options.ini"), 0);
}

// ---- The launcher itself, killed during its own saves. ----

class KilledLauncher : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(LUDORA_DIST_DIR) / "Ludora"))
            GTEST_SKIP() << "no staged folder at " << LUDORA_DIST_DIR;
    }
    // Starts the launcher on Pearlwreck's title page with the script and kills it
    // at a moment from the generator, after its start-up.
    void RunAndKill(StagedFolder& folder, const std::string& inside, std::mt19937& random) {
        const pid_t child = folder.Start(folder.dist, folder.dist / "Ludora", {"Pearlwreck"},
                                         LauncherScript(inside));
        usleep(static_cast<useconds_t>(400000 + random() % 2600000));
        kill(child, SIGKILL);
        folder.Finish(child, 10000);
    }
};

TEST_F(KilledLauncher, SwitchPlayersAndClearedHallOfFameSurviveKills) {
    StagedFolder folder(LUDORA_DIST_DIR);
    ASSERT_TRUE(folder.Ready());
    std::mt19937 random(20133);
    const std::string options = OptionsText(OldOptions());
    std::string toggles;
    for (int i = 0; i < 400; ++i)
        toggles += Click(SfxSwitch, 40); // the sound switch on the title page
    for (int kill = 0; kill < 4; ++kill) {
        WriteText(folder.dist / "options.ini", options);
        RunAndKill(folder, toggles, random);
        const Profile now = ParseProfile(ReadText(folder.dist / "options.ini"));
        ASSERT_TRUE(now.whole) << "kill " << kill;
        Sections expected = OldOptions();
        std::string sfx = "?";
        if (now.sections.count("setup") && now.sections.at("setup").count("sfx"))
            sfx = now.sections.at("setup").at("sfx");
        ASSERT_TRUE(sfx == "Y" || sfx == "N") << "kill " << kill;
        expected["setup"]["sfx"] = sfx;
        EXPECT_EQ(now.sections, expected) << "kill " << kill;
    }
    // The hall of fame's "clear", pressed again and again.
    const std::string scores = ScoresAfter(3);
    const std::string cleared = ScoreFile({});
    std::string clears = Click(HighScoresButton, 400);
    for (int i = 0; i < 300; ++i)
        clears += Click(ClearButton, 40);
    int seenCleared = 0;
    for (int kill = 0; kill < 4; ++kill) {
        WriteText(folder.Game() / "hiscore.dat", scores);
        RunAndKill(folder, clears, random);
        const std::string now = ReadText(folder.Game() / "hiscore.dat");
        ASSERT_TRUE(now == scores || now == cleared) << "kill " << kill << ": " << now.size();
        seenCleared += now == cleared;
    }
    // The players screen: the first player's name entered (every player is
    // written back, key by key), then the player removed, again and again.
    std::string players;
    for (int i = 0; i < 30; ++i)
        players += Click(PlayersButton, 400) + "type Z\nwait 150\n" + Click(EnterButton, 400) +
                   Click(PlayersButton, 400) + Click(RemoveButton, 400);
    int seenEntered = 0;
    for (int kill = 0; kill < 4; ++kill) {
        WriteText(folder.dist / "options.ini", options);
        RunAndKill(folder, players, random);
        const Profile now = ParseProfile(ReadText(folder.dist / "options.ini"));
        ASSERT_TRUE(now.whole) << "kill " << kill;
        Sections expected = OldOptions();
        ASSERT_TRUE(now.sections.count("Player1") && now.sections.at("Player1").count("name"));
        const std::string name = now.sections.at("Player1").at("name");
        ASSERT_EQ(name.rfind("Player1", 0), 0u) << name;
        EXPECT_EQ(name.find_first_not_of('Z', 7), std::string::npos) << name;
        expected["Player1"]["name"] = name;
        seenEntered += name != "Player1";
        EXPECT_EQ(now.sections, expected) << "kill " << kill;
    }
    std::printf("launcher: 12 kills, %d found the hall of fame cleared, %d a name entered\n",
                seenCleared, seenEntered);
}

} // namespace
