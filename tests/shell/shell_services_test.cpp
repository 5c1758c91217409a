// The shell's services under the toolkit: fixed text buffers, the debug log,
// the hand-over through the Windows shell and the 10 ms clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>
#include "ludora/harness_clock.h"

#include "shell/core/copy_text.h"
#include "shell/core/debug_log.h"
#include "shell/core/hand_over.h"
#include "shell/core/shell_state.h"
#include "shell/core/tick_clock.h"

#include "tests/support/temp_folder.h"

#include "tests/support/files.h"

namespace {

std::string ReadFile(const std::string& path) {
    return testkit::ReadText(path);
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A temporary folder the test works in; the previous folder comes back after.
class InTemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.Made()); }
    testkit::TempFolder folder{"ludora-shell"};
    testkit::CurrentFolder here{folder.path};
    std::string top = folder.path.string();
};

// ---- fixed text buffers ----

TEST(ShellText, BuffersOfTheShellAreCutAt255Characters) {
    const std::string longText(400, 'w');
    SetWindowTitle(longText.c_str());
    SetProgramName(longText.c_str());
    SetLauncherFolder(longText.c_str());
    EXPECT_EQ(std::string(g_ShellState.title), std::string(255, 'w'));
    EXPECT_EQ(std::string(g_ShellState.programName), std::string(255, 'w'));
    EXPECT_EQ(std::string(g_ShellState.launcherFolder), std::string(255, 'w'));
    SetWindowTitle("Pearl Wreck");
    EXPECT_STREQ(g_ShellState.title, "Pearl Wreck");
    SetLauncherFolder(nullptr);
    EXPECT_STREQ(g_ShellState.launcherFolder, "");
}

TEST(ShellText, CopiesNeverPassTheEndOfEitherBuffer) {
    char guarded[12];
    std::memset(guarded, '#', sizeof guarded);
    EXPECT_EQ(CopyText(guarded, 8, "abcdefghijk"), 7u);
    EXPECT_STREQ(guarded, "abcdefg");
    EXPECT_EQ(guarded[8], '#');

    const char brim[4] = {'a', 'b', 'c', 'd'}; // no terminator
    char out[16];
    EXPECT_EQ(CopyField(out, sizeof out, brim, sizeof brim), 4u);
    EXPECT_STREQ(out, "abcd");

    char formatted[10];
    EXPECT_EQ(FormatText(formatted, sizeof formatted, "%s - %s", "Pearl Wreck", "Ann"), 9u);
    EXPECT_STREQ(formatted, "Pearl Wre");
    EXPECT_EQ(CopyText(out, 0, "x"), 0u);
}

// ---- the debug log ----

TEST_F(InTemporaryFolder, TheDebugLogStaysOffUnlessSwitchedOnAndEmptiesOncePerRun) {
    ASSERT_EQ(debugLogEnabled, 0);
    LogMessage("Unable to use timers on this system");
    EXPECT_FALSE(Exists("debug.log"));

    {
        std::ofstream old("debug.log", std::ios::binary);
        old << "an older run's report\n";
    }
    debugLogEnabled = 1;
    LogMessage("first %d\n", 1);
    LogMessage("%s", "second");
    debugLogEnabled = 0;
    LogMessage("not written");
    // The first message of the run emptied the file; no line ends are added.
    EXPECT_EQ(ReadFile("debug.log"), "first 1\nsecond");
}

// ---- hand-over ----

class HandOver : public InTemporaryFolder {
protected:
    void SetUp() override {
        InTemporaryFolder::SetUp();
        log = top + "/shell.log";
        setenv("LUDORA_SHELL_LOG", log.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LUDORA_SHELL_LOG");
        SetLauncherFolder("");
        SetProgramName("");
        InTemporaryFolder::TearDown();
    }
    std::vector<std::string> Calls() {
        std::vector<std::string> lines;
        std::istringstream text(ReadFile(log));
        for (std::string line; std::getline(text, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    std::string log;
};

TEST_F(HandOver, TheLauncherStartsAGameFromItsOwnFolderWithTheLauncherFolder) {
    ASSERT_EQ(mkdir("Ludora", 0755), 0);
    ASSERT_EQ(mkdir("Ludora/Pearlwreck", 0755), 0);
    ASSERT_TRUE(SetCurrentDirectoryA("Ludora\\Pearlwreck"));
    char launcherFolder[1024] = {};
    ASSERT_TRUE(SetCurrentDirectoryA(".."));
    GetCurrentDirectoryA(sizeof launcherFolder, launcherFolder);
    ASSERT_TRUE(SetCurrentDirectoryA("Pearlwreck"));

    StartGame("Pearlwreck");
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::string("open|Pearlwreck.exe|") + launcherFolder + "|Pearlwreck");
    // The launcher is left in its own folder.
    char now[1024] = {};
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_STREQ(now, launcherFolder);
}

TEST_F(HandOver, AGameReturnsToTheLauncherOnlyWhenItWasStartedByIt) {
    SetProgramName("Pearlwreck");
    SetLauncherFolder("");
    EXPECT_EQ(ReturnToLauncher(), 0);
    EXPECT_TRUE(Calls().empty());

    SetLauncherFolder("C:\\Games\\Ludora");
    EXPECT_EQ(ReturnToLauncher(), 1);
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "open|C:\\Games\\Ludora\\Ludora.exe|Pearlwreck|C:\\Games\\Ludora");
}

TEST_F(HandOver, ALongLauncherFolderIsCutAndNeverOverruns) {
    SetProgramName("Pearlwreck");
    SetLauncherFolder(std::string(300, 'L').c_str());
    EXPECT_EQ(ReturnToLauncher(), 1);
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    // "open|" + the program path, cut at 255 characters, + "|Pearlwreck|" + the folder (255).
    const std::string expected =
        "open|" + std::string(255, 'L') + "|Pearlwreck|" + std::string(255, 'L');
    EXPECT_EQ(calls[0], expected);
}

TEST_F(HandOver, AWebPageOpensWithoutParametersOrFolder) {
    OpenWebPage("http://127.0.0.1:8080/");
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], "open|http://127.0.0.1:8080/||");
}

// ---- the clock ----

// The timer fires on its own thread: wait (in real time) until the count is reached.
bool WaitForCount(const TickClock& clock, int32_t expected, std::vector<int32_t>& seen) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const int32_t now = clock.Now();
        if (seen.empty() || seen.back() != now) {
            seen.push_back(now);
        }
        if (now == expected) {
            return true;
        }
        std::this_thread::yield();
    }
    return false;
}

std::atomic<int> hookCalls{0};
void CountHook() {
    hookCalls.fetch_add(1);
}

TEST(TickClockTime, CountsInStepsOfTenOnTheLayerClock) {
    LudoraHoldClock();
    TickClock clock;
    hookCalls = 0;
    clock.SetTickHook(CountHook);
    ASSERT_EQ(clock.StartClock(), 0);
    EXPECT_NE(clock.timerId, 0u);
    EXPECT_EQ(clock.Now(), 0);

    std::vector<int32_t> seen;
    LudoraAdvanceClock(1000);
    ASSERT_TRUE(WaitForCount(clock, 1000, seen)) << "stopped at " << clock.Now();
    for (int32_t value : seen) {
        EXPECT_EQ(value % 10, 0) << value;
    }
    EXPECT_EQ(clock.Since(300), 700);
    EXPECT_EQ(hookCalls.load(), 100); // the hook runs once per tick

    // Five milliseconds are half a tick; the next five complete it.
    LudoraAdvanceClock(5);
    LudoraAdvanceClock(5);
    ASSERT_TRUE(WaitForCount(clock, 1010, seen));

    EXPECT_EQ(clock.StopClock(), 0);
    EXPECT_EQ(clock.timerId, 0u);
    LudoraAdvanceClock(500);
    // A stopped clock stands still (a timer still running would have moved it by now).
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(clock.Now(), 1010);
    EXPECT_EQ(clock.StopClock(), 0); // a second stop does nothing
    LudoraReleaseClock();
}

} // namespace
