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
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "random_player.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

int64_t Setting(const char* name, int64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoll(value, nullptr, 10) : fallback;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a sanitizer or a failed check leaves on stderr.
bool HasReport(const std::string& text) {
    for (const char* mark : {"AddressSanitizer", "LeakSanitizer",
                             "runtime error:", "UndefinedBehaviorSanitizer", "SUMMARY: "})
        if (text.find(mark) != std::string::npos) return true;
    return false;
}

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
        char pattern[] = "/tmp/ludora-soak-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        root = made;
        dist = root / "dist";
        fs::copy(staged, dist, fs::copy_options::recursive);
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
        std::ofstream(dist / "Pearlwreck" / "hiscore.dat", std::ios::binary) << hall;
        startingHall = hall;
        std::ofstream(dist / "options.ini", std::ios::binary)
            << "[setup]\r\nplayerid=1\r\n[Player1]\r\nname=Anna\r\naddress=Harbour Road 1\r\n"
               "email=anna@example.org\r\nsend=Y\r\n[Player2]\r\nname=Bo\r\naddress=\r\n"
               "email=\r\nsend=N\r\n";
    }
    void TearDown() override {
        std::error_code ignored;
        if (!root.empty()) fs::remove_all(root, ignored);
    }

    RunResult RunOnce(soak::Program program, const fs::path& script, uint64_t runSeed,
                      int64_t scriptMilliseconds) {
        const bool game = program == soak::Program::Game;
        const fs::path folder = game ? dist / "Pearlwreck" : dist;
        const std::string name = game ? "./Pearlwreck" : "./Ludora";
        const fs::path errors = root / "stderr.txt";
        const std::string seedText = std::to_string(runSeed);
        const std::string scaleText = std::to_string(timeScale);
        // The test's own settings only: every other LUDORA_ variable is left out.
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry)
            if (std::string(*entry).rfind("LUDORA_", 0) != 0) environment.push_back(*entry);
        for (const std::string& setting : std::vector<std::string>{
                 "LUDORA_VIDEO=headless", "LUDORA_AUDIO=none", "LUDORA_SEED=" + seedText,
                 "LUDORA_TIME_SCALE=" + scaleText, "LUDORA_SCRIPT=" + script.string(),
                 "LUDORA_SHELL_LOG=" + (root / "shell.log").string(),
                 "LUDORA_MESSAGE_LOG=" + (root / "messages.log").string()})
            environment.push_back(setting);
        std::vector<char*> envp;
        for (std::string& text : environment)
            envp.push_back(text.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(name.c_str()), nullptr};
        const int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const auto began = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(folder.c_str()) != 0 || errorFile < 0 || dup2(errorFile, 2) < 0) _exit(126);
            execve(name.c_str(), argv, envp.data());
            _exit(127);
        }
        if (errorFile >= 0) close(errorFile);
        RunResult result;
        if (child < 0) return result;
        // The script's own length on the layer clock, then two minutes of grace
        // (a sanitizer build on a busy machine is slow) before it counts as hung.
        const double limit =
            static_cast<double>(scriptMilliseconds) / 1000.0 / timeScale + graceSeconds;
        int status = 0;
        for (;;) {
            if (waitpid(child, &status, WNOHANG) == child) {
                result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - began;
            if (spent.count() > limit) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                break;
            }
            usleep(5000);
        }
        result.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        result.stderrText = ReadAll(errors);
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
            std::ofstream(script, std::ios::binary) << text;
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
            EXPECT_FALSE(HasReport(result.stderrText))
                << kind << " run " << runs << " reported on stderr; " << reproduce << "\n"
                << result.stderrText.substr(0, 4000);
            if (result.status != 0 || HasReport(result.stderrText)) break;
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
        const std::string text = ReadAll(path);
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
        const std::string bytes = ReadAll(path);
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
            changedHalls += ReadAll(path) != startingHall;
        }
        // A hand-over is written down, never followed: "verb|file|parameters|directory".
        const std::string log = ReadAll(root / "shell.log");
        std::istringstream in(log);
        for (std::string line; std::getline(in, line);)
            EXPECT_GE(std::count(line.begin(), line.end(), '|'), 3) << line;
        std::printf("[   SOAK   ] %zu settings file(s), %zu hall(s) of fame checked (%d changed), "
                    "%zu hand-over(s) logged\n",
                    settings.size(), halls.size(), changedHalls,
                    static_cast<size_t>(std::count(log.begin(), log.end(), '\n')));
    }

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
        char pattern[] = "/tmp/ludora-soak-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        root = made;
        dist = root / "dist";
        fs::create_directories(dist / "Pearlwreck");
        graceSeconds = 2;
    }
    void WriteProgram(soak::Program program, const std::string& body) {
        const fs::path path =
            program == soak::Program::Game ? dist / "Pearlwreck" / "Pearlwreck" : dist / "Ludora";
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
    }
    RunResult RunWith(soak::Program program) {
        const fs::path script = root / "script.txt";
        std::ofstream(script) << "wait 100\n";
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
    EXPECT_TRUE(HasReport(reported.stderrText));

    WriteProgram(soak::Program::Game, "echo \"x.cpp:3:5: runtime error: signed overflow\" >&2");
    EXPECT_TRUE(HasReport(RunWith(soak::Program::Game).stderrText));

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
    EXPECT_EQ(ReadAll(dist / "where.txt"), (dist / "Pearlwreck").string() + "\n");
    const std::string settings = ReadAll(dist / "env.txt");
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
