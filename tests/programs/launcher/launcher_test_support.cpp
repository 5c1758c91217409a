#include "launcher_test_support.h"

namespace launchertest {

std::string LauncherProgram::SiteLine() {
    return std::string("open|") + LUDORA_SITE_URL + "||";
}

void LauncherProgram::SetUp() {
    const fs::path staged = StagedDist();
    if (!fs::exists(staged / "Ludora") || !fs::exists(staged / "Pearlwreck" / "LudoraButton.bmp"))
        GTEST_SKIP() << "no staged launcher folder at " << staged;
    copy_ = std::make_unique<StagedCopy>(staged, "launcher");
    ASSERT_TRUE(copy_->Ready());
    // Each test decides its own games: only Pearlwreck comes with the folder.
    dist_ = copy_->dist;
    shots_ = copy_->Shots();
    shellLog_ = copy_->ShellLog();
}

void LauncherProgram::TearDown() {
    copy_.reset(); // stops programs started by the programs under test
}

void LauncherProgram::AddGame(const std::string& name) {
    fs::create_directories(dist_ / name);
    fs::copy_file(dist_ / "Pearlwreck" / "LudoraButton.bmp", dist_ / name / "LudoraButton.bmp",
                  fs::copy_options::overwrite_existing);
}

int LauncherProgram::Run(const std::string& script, const std::vector<std::string>& arguments) {
    const fs::path scriptFile = copy_->root / "launcher-script.txt";
    // The splash picture waits for a click; the program is closed at the end
    // (a click first ends the credit picture of a program that quit by itself).
    WriteText(scriptFile, "wait 300\nclick 400 60\nwait 400\n" + script +
                              "wait 100\nclick 400 60\nwait 100\nclose\n");
    const int status = RunProgram(scriptFile.string(), arguments, false);
    // WinMain answers 0; a crash or a sanitizer's report ends it otherwise.
    EXPECT_EQ(status, 0) << "the launcher did not end normally";
    return status;
}

int LauncherProgram::RunProgram(const std::string& script,
                                const std::vector<std::string>& arguments, bool startPrograms) {
    // A program that does not end is stopped after a minute.
    const Outcome outcome =
        testkit::Run(Launch{"./Ludora",
                            dist_,
                            arguments,
                            {"LUDORA_VIDEO=headless", "LUDORA_AUDIO=none",
                             "LUDORA_SCRIPT=" + script, "LUDORA_SHELL_LOG=" + shellLog_.string(),
                             startPrograms ? "LUDORA_SHELL_RUN=1" : "LUDORA_SHELL_RUN"},
                            {}},
                     60);
    return outcome.finished ? outcome.status : -1;
}

} // namespace launchertest
