// ShellExecuteA: programs started without a shell, parameters passed verbatim,
// folders honoured, failures reported, children reaped, calls logged.
#include "sync_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> lines_of(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(testkit::ReadText(path));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

intptr_t code(HINSTANCE result) {
    return reinterpret_cast<intptr_t>(result);
}

class ShellStart : public ::testing::Test {
protected:
    void SetUp() override {
        // Never a browser from a test, whatever the environment says.
        ::setenv("LUDORA_VIDEO", "headless", 1);
        ::setenv("LUDORA_SHELL_RUN", "1", 1);
        ::unsetenv("LUDORA_SHELL_LOG");
        // A game folder holding the program under its name without ".exe".
        std::filesystem::create_directories("Ludora/Pearlwreck");
        std::filesystem::copy_file(KERNEL_ARGV_PROBE, "Ludora/Pearlwreck/Pearlwreck");
        ASSERT_TRUE(SetCurrentDirectoryA("Ludora"));
    }
    void TearDown() override {
        ::unsetenv("LUDORA_SHELL_RUN");
        ::unsetenv("LUDORA_SHELL_LOG");
    }

    // Waits for the probe's report in `folder`.
    std::vector<std::string> report(const std::string& folder) {
        const std::string path = folder + "/probe-out.txt";
        EXPECT_TRUE(eventually([&] { return std::filesystem::exists(path); }));
        return lines_of(path);
    }

    testkit::WorkingFolder folder{"ludora-kernel"};
};

} // namespace

TEST_F(ShellStart, StartsTheGameInItsFolderWithTheCommandLineAsOneArgument) {
    const std::string game = folder.path.string() + "/Ludora/Pearlwreck";
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", "Pearlwreck.exe", (folder.path.string() + "/Ludora").c_str(),
                      ".\\pearlwreck", 1);
    EXPECT_GT(code(result), 32);
    const auto lines = report(game);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], game);
    EXPECT_EQ(lines[2], folder.path.string() + "/Ludora");
}

TEST_F(ShellStart, HostileParametersArriveVerbatimAndRunNothing) {
    const std::string marker = folder.path.string() + "/PWNED";
    const std::string parameters = "x; touch " + marker + " && echo \"$(touch " + marker +
                                   ")\" `touch " + marker + "` 'quoted' | cat > " + marker;
    EXPECT_GT(
        code(ShellExecuteA(nullptr, "open", "Pearlwreck.exe", parameters.c_str(), "Pearlwreck", 1)),
        32);
    const auto lines = report(folder.path.string() + "/Ludora/Pearlwreck");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], parameters);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(ShellStart, FoldersWithSpacesAndQuotesAndAnAbsoluteProgramPath) {
    const std::string odd = folder.path.string() + "/Ludora/My \"Game\"; $(x)";
    std::filesystem::create_directories(odd);
    std::filesystem::copy_file(KERNEL_ARGV_PROBE, odd + "/Ludora");
    // The game returns to the launcher: launcherFolder + "\\Ludora.exe", the game's name.
    const std::string program = odd + "\\Ludora.exe";
    EXPECT_GT(code(ShellExecuteA(nullptr, "open", program.c_str(), "Pearlwreck", odd.c_str(), 1)),
              32);
    const auto lines = report(odd);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], odd);
    EXPECT_EQ(lines[2], "Pearlwreck");
}

TEST_F(ShellStart, NoParametersMeansNoArgumentAndTheChildIsReaped) {
    EXPECT_GT(code(ShellExecuteA(nullptr, nullptr, "Pearlwreck\\Pearlwreck.exe", "", nullptr, 1)),
              32);
    const auto lines = report(folder.path.string() + "/Ludora");
    ASSERT_EQ(lines.size(), 2u);
    const std::string proc = "/proc/" + lines[1];
    // Once it has ended it must not linger as a zombie.
    EXPECT_TRUE(eventually([&] { return !std::filesystem::exists(proc); }));
}

TEST_F(ShellStart, FailuresReturnWindowsCodes) {
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", "Missing.exe", "", "Pearlwreck", 1)), SE_ERR_FNF);
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", "Pearlwreck.exe", "", "Nowhere", 1)), SE_ERR_PNF);
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", nullptr, "", nullptr, 1)), SE_ERR_FNF);
    EXPECT_EQ(code(ShellExecuteA(nullptr, "print", "Pearlwreck.exe", "", "Pearlwreck", 1)),
              SE_ERR_NOASSOC);
    testkit::WriteText("Pearlwreck/Notes.exe", "not a program");
    EXPECT_EQ(code(ShellExecuteA(nullptr, "open", "Notes.exe", "", "Pearlwreck", 1)),
              SE_ERR_ACCESSDENIED);
}

TEST_F(ShellStart, HeadlessRunsLogButStartNothingUnlessAskedTo) {
    const std::string log = folder.path.string() + "/shell.log";
    ::setenv("LUDORA_SHELL_LOG", log.c_str(), 1);
    ::unsetenv("LUDORA_SHELL_RUN");
    const char* address =
        "https://example.invalid/cgi-bin/hiscore.cgi?game=Pearlwreck&name=A%20B&score=5";
    EXPECT_GT(code(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, 1)), 32);
    EXPECT_GT(code(ShellExecuteA(nullptr, "open", "Pearlwreck.exe", "a|b", "Pearlwreck", 1)), 32);
    settle();
    EXPECT_FALSE(
        std::filesystem::exists(folder.path.string() + "/Ludora/Pearlwreck/probe-out.txt"));
    EXPECT_EQ(lines_of(log), (std::vector<std::string>{
                                 std::string("open|") + address + "||",
                                 "open|Pearlwreck.exe|a|b|Pearlwreck",
                             }));
}
