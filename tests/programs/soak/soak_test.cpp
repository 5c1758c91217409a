// The soak: a random player drives each staged program for a minute of layer
// time in a copy of the staged folder, starting it again whenever it ends
// (Exit, Escape, the close box, a hand-over). Every run must end by itself
// with status 0 and no sanitizer report, and the files the programs keep
// must still be whole afterwards.
//
// LUDORA_SOAK_SECONDS (layer seconds per program, 60 by default),
// LUDORA_SOAK_TIME_SCALE (20) and LUDORA_SOAK_SEED (1) change the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/random_player.h"
#include "tests/support/files.h"
#include "tests/support/program_run.h"
#include "tests/support/staged_copy.h"

namespace fs = std::filesystem;

namespace {

int64_t Setting(const char* name, int64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoll(value, nullptr, 10) : fallback;
}

using testkit::HasFaultReport;
using testkit::ReadText;

// The end of every script: a click ends a picture that waits for one, Escape
// leaves a pop-up, and the close box ends the program.
const char* const Closing = "wait 500\nclick 400 300\nwait 500\nclose\nwait 2000\n"
                            "click 400 300\nwait 500\nkey press ESCAPE\nwait 500\nclose\n"
                            "wait 2000\nclick 400 300\nwait 500\nclose\n";

struct RunResult {
    int status = -1;    // exit status, 128 + signal, or -1 when it hung and was stopped
    double seconds = 0; // wall time
    std::string stderrText;
};

class SoakRun : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path staged = LUDORA_DIST_DIR;
        if (!fs::exists(staged / "Ludora") || !fs::exists(staged / "Pearlwreck" / "Pearlwreck"))
            GTEST_SKIP() << "no staged programs in " << staged;
        copy = std::make_unique<testkit::StagedCopy>(staged, "ludora-soak");
        ASSERT_TRUE(copy->Ready());
        root = copy->root.path;
        dist = copy->dist;
        layerMilliseconds = Setting("LUDORA_SOAK_SECONDS", 60) * 1000;
        timeScale = Setting("LUDORA_SOAK_TIME_SCALE", 20);
        seed = static_cast<uint64_t>(Setting("LUDORA_SOAK_SEED", 1));
        if (timeScale < 1) timeScale = 1;
        WriteStartingFiles();
    }

    // The programs meet what a player's folder holds: a hall of fame with a
    // few places taken and a roster, so both files are read, kept and
    // rewritten during the run.
    void WriteStartingFiles() {
        std::string hall(5204, '\0');
        auto put32 = [&](size_t at, uint32_t value) {
            for (int i = 0; i < 4; ++i)
                hall[at + i] = static_cast<char>(value >> (8 * i));
        };
        put32(0, 20);
        const char* const names[] = {"Anna:Harbour Road 1:anna@example.org:Y", "Bo:::N",
                                     "Chidi:Pier 7:c@example.org:Y"};
        for (int place = 0; place < 3; ++place) {
            const size_t at = 4 + static_cast<size_t>(place) * 260;
            hall.replace(at, std::strlen(names[place]), names[place]);
            put32(at + 256, static_cast<uint32_t>(3000 - place * 1000));
        }
        testkit::WriteText(dist / "Pearlwreck" / "hiscore.dat", hall);
        startingHall = hall;
        testkit::WriteText(
            dist / "options.ini",
            "[setup]\r\nplayerid=1\r\n[Player1]\r\nname=Anna\r\naddress=Harbour Road 1\r\n"
            "email=anna@example.org\r\nsend=Y\r\n[Player2]\r\nname=Bo\r\naddress=\r\n"
            "email=\r\nsend=N\r\n");
    }

    RunResult RunOnce(soak::Program program, const fs::path& script, uint64_t runSeed,
                      int64_t scriptMilliseconds) {
        const bool game = program == soak::Program::Game;
        const fs::path folder = game ? dist / "Pearlwreck" : dist;
        const std::string name = game ? "./Pearlwreck" : "./Ludora";
        // The test's own settings only: every other LUDORA_ variable is left out.
        const testkit::Launch launch{
            name,
            folder,
            {},
            {"LUDORA_VIDEO=headless", "LUDORA_AUDIO=none", "LUDORA_SEED=" + std::to_string(runSeed),
             "LUDORA_TIME_SCALE=" + std::to_string(timeScale), "LUDORA_SCRIPT=" + script.string(),
             "LUDORA_SHELL_LOG=" + (root / "shell.log").string(),
             "LUDORA_MESSAGE_LOG=" + (root / "messages.log").string()},
            root / "printed.txt"};
        // The script's own length on the layer clock, then two minutes of grace
        // (a sanitizer build on a busy machine is slow) before it counts as hung.
        const double limit =
            static_cast<double>(scriptMilliseconds) / 1000.0 / timeScale + graceSeconds;
        const testkit::Outcome outcome = testkit::Run(launch, limit);
        RunResult result;
        result.status = outcome.finished ? outcome.status : -1;
        result.seconds = outcome.seconds;
        result.stderrText = outcome.printed;
        return result;
    }

    // Plays the program until its layer time is used; answers the runs made.
    int Soak(soak::Program program, const char* kind) {
        int64_t used = 0;
        int runs = 0;
        const fs::path script = root / "script.txt";
        while (used < layerMilliseconds && runs < 500) {
            soak::Plan plan;
            plan.program = program;
            plan.seed = seed * 1000 + static_cast<uint64_t>(runs);
            plan.layerMilliseconds = layerMilliseconds - used;
            // Every other run plays without the right button, so games end
            // and reach the hall of fame.
            plan.usesRightButton = runs % 2 == 1;
            const std::string text = soak::MakeScript(plan) + Closing;
            const int64_t scriptMilliseconds = soak::ScriptLayerMilliseconds(text);
            testkit::WriteText(script, text);
            const RunResult result = RunOnce(program, script, plan.seed, scriptMilliseconds);
            ++runs;
            const std::string reproduce = std::string("reproduce: make_soak_script ") + kind + " " +
                                          std::to_string(plan.seed) + " " +
                                          std::to_string(plan.layerMilliseconds) +
                                          ", LUDORA_TIME_SCALE=" + std::to_string(timeScale);
            EXPECT_EQ(result.status, 0)
                << kind << " run " << runs << " did not end cleanly (-1: hung and stopped); "
                << reproduce << "\n"
                << result.stderrText.substr(0, 4000);
            EXPECT_FALSE(HasFaultReport(result.stderrText))
                << kind << " run " << runs << " reported on stderr; " << reproduce << "\n"
                << result.stderrText.substr(0, 4000);
            if (result.status != 0 || HasFaultReport(result.stderrText)) break;
            // The layer clock runs timeScale times faster than the wall's; a run
            // counts no more than its script.
            const int64_t spent = static_cast<int64_t>(result.seconds * 1000.0 * timeScale);
            used += std::max<int64_t>(1000, std::min(spent, scriptMilliseconds));
            wallSeconds += result.seconds;
        }
        std::printf("[   SOAK   ] %s: %d run(s), %.1f s of wall time at time scale %lld\n", kind,
                    runs, wallSeconds, static_cast<long long>(timeScale));
        return runs;
    }

    std::vector<fs::path> FilesNamed(const std::string& name) const {
        std::vector<fs::path> found;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dist))
            if (entry.path().filename() == name) found.push_back(entry.path());
        return found;
    }

    // Settings files: "[section]" and "key=value" lines, no section twice,
    // nothing longer than the programs' 255-character buffers.
    void CheckSettings(const fs::path& path) {
        const std::string text = ReadText(path);
        EXPECT_EQ(text.find('\0'), std::string::npos) << path;
        std::istringstream in(text);
        std::map<std::string, int> sections;
        int lineNumber = 0;
        for (std::string line; std::getline(in, line);) {
            ++lineNumber;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            EXPECT_LE(line.size(), 300u) << path << " line " << lineNumber;
            if (line.front() == '[') {
                EXPECT_EQ(line.back(), ']') << path << " line " << lineNumber << ": " << line;
                EXPECT_EQ(++sections[line], 1) << path << " has " << line << " twice";
                continue;
            }
            const size_t equals = line.find('=');
            ASSERT_NE(equals, std::string::npos) << path << " line " << lineNumber << ": " << line;
            EXPECT_GT(equals, 0u) << path << " line " << lineNumber;
            EXPECT_LE(line.size() - equals - 1, 255u) << path << " line " << lineNumber;
        }
    }

    // The hall of fame: a count of twenty, then twenty 256-byte names (each
    // ended inside its 256 bytes) with 4-byte scores, best first.
    void CheckHallOfFame(const fs::path& path) {
        const std::string bytes = ReadText(path);
        ASSERT_EQ(bytes.size(), 5204u) << path;
        auto le32 = [&](size_t at) {
            return static_cast<int32_t>(
                static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
                static_cast<uint8_t>(bytes[at + 2]) << 16 |
                static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24);
        };
        EXPECT_EQ(le32(0), 20) << path;
        int32_t previous = INT32_MAX;
        for (int place = 0; place < 20; ++place) {
            const size_t at = 4 + static_cast<size_t>(place) * 260;
            EXPECT_NE(bytes.substr(at, 256).find('\0'), std::string::npos)
                << path << " place " << place + 1 << " has no end to its name";
            const int32_t score = le32(at + 256);
            EXPECT_GE(score, 0) << path << " place " << place + 1;
            EXPECT_LE(score, previous) << path << " place " << place + 1 << " is out of order";
            previous = score;
        }
    }

    void CheckStoredFiles() {
        const std::vector<fs::path> settings = FilesNamed("options.ini");
        const std::vector<fs::path> halls = FilesNamed("hiscore.dat");
        for (const fs::path& path : settings)
            CheckSettings(path);
        int changedHalls = 0;
        for (const fs::path& path : halls) {
            CheckHallOfFame(path);
            changedHalls += ReadText(path) != startingHall;
        }
        // A hand-over is written down, never followed: "verb|file|parameters|directory".
        const std::string log = ReadText(root / "shell.log");
        std::istringstream in(log);
        for (std::string line; std::getline(in, line);)
            EXPECT_GE(std::count(line.begin(), line.end(), '|'), 3) << line;
        std::printf("[   SOAK   ] %zu settings file(s), %zu hall(s) of fame checked (%d changed), "
                    "%zu hand-over(s) logged\n",
                    settings.size(), halls.size(), changedHalls,
                    static_cast<size_t>(std::count(log.begin(), log.end(), '\n')));
    }

    std::unique_ptr<testkit::StagedCopy> copy;
    std::unique_ptr<testkit::TempFolder> scratch;
    fs::path root, dist;
    int64_t layerMilliseconds = 60000;
    int64_t timeScale = 20;
    uint64_t seed = 1;
    double wallSeconds = 0;
    double graceSeconds = 120;
    std::string startingHall;
};

// The harness itself: stand-ins for the programs that crash, report or hang
// must each be seen, or a soak that passes proves nothing.
class SoakHarness : public SoakRun {
protected:
    void SetUp() override {
        scratch = std::make_unique<testkit::TempFolder>("ludora-soak");
        ASSERT_TRUE(scratch->Made());
        root = scratch->path;
        dist = root / "dist";
        fs::create_directories(dist / "Pearlwreck");
        graceSeconds = 2;
    }
    void WriteProgram(soak::Program program, const std::string& body) {
        const fs::path path =
            program == soak::Program::Game ? dist / "Pearlwreck" / "Pearlwreck" : dist / "Ludora";
        testkit::WriteText(path, "#!/bin/sh\n" + body + "\n");
        fs::permissions(path, fs::perms::owner_all);
    }
    RunResult RunWith(soak::Program program) {
        const fs::path script = root / "script.txt";
        testkit::WriteText(script, "wait 100\n");
        return RunOnce(program, script, 1, 100);
    }
};

TEST_F(SoakHarness, ACrashAReportAHangAndTheSettingsAreSeen) {
    WriteProgram(soak::Program::Launcher, "kill -SEGV $$");
    EXPECT_EQ(RunWith(soak::Program::Launcher).status, 128 + SIGSEGV);

    WriteProgram(soak::Program::Game,
                 "echo \"==1==ERROR: AddressSanitizer: heap-use-after-free\" >&2; exit 0");
    const RunResult reported = RunWith(soak::Program::Game);
    EXPECT_EQ(reported.status, 0);
    EXPECT_TRUE(HasFaultReport(reported.stderrText));

    WriteProgram(soak::Program::Game, "echo \"x.cpp:3:5: runtime error: signed overflow\" >&2");
    EXPECT_TRUE(HasFaultReport(RunWith(soak::Program::Game).stderrText));

    WriteProgram(soak::Program::Launcher, "exec sleep 30");
    const RunResult hung = RunWith(soak::Program::Launcher);
    EXPECT_EQ(hung.status, -1);
    EXPECT_LT(hung.seconds, 20.0);

    // The program runs in its own folder with the soak's settings and no others.
    WriteProgram(soak::Program::Game,
                 "pwd > ../where.txt; env | grep ^LUDORA_ | sort > ../env.txt");
    setenv("LUDORA_SHELL_RUN", "1", 1);
    EXPECT_EQ(RunWith(soak::Program::Game).status, 0);
    unsetenv("LUDORA_SHELL_RUN");
    EXPECT_EQ(ReadText(dist / "where.txt"), (dist / "Pearlwreck").string() + "\n");
    const std::string settings = ReadText(dist / "env.txt");
    EXPECT_NE(settings.find("LUDORA_VIDEO=headless\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("LUDORA_AUDIO=none\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("LUDORA_SHELL_LOG="), std::string::npos) << settings;
    EXPECT_EQ(settings.find("LUDORA_SHELL_RUN"), std::string::npos)
        << "a hand-over would start a real program";
}

TEST_F(SoakRun, LauncherPlayedForAMinuteEndsCleanlyEveryTime) {
    const int runs = Soak(soak::Program::Launcher, "launcher");
    EXPECT_GE(runs, 1);
    CheckStoredFiles();
}

// Fourteen games fill more than a page of the shelf: the arrows turn pages,
// and the extra games (a button picture and nothing else) open title pages
// whose pictures are missing.
TEST_F(SoakRun, LauncherWithTwoPagesOfGamesEndsCleanlyEveryTime) {
    for (int number = 1; number <= 13; ++number) {
        const fs::path folder = dist / ("Shelf" + std::to_string(100 + number));
        fs::create_directories(folder);
        fs::copy_file(dist / "Pearlwreck" / "LudoraButton.bmp", folder / "LudoraButton.bmp");
    }
    const int runs = Soak(soak::Program::Launcher, "launcher");
    EXPECT_GE(runs, 1);
    CheckStoredFiles();
}

TEST_F(SoakRun, GamePlayedForAMinuteEndsCleanlyEveryTime) {
    const int runs = Soak(soak::Program::Game, "game");
    EXPECT_GE(runs, 1);
    CheckStoredFiles();
}

} // namespace
