// The launcher the way a player meets it, on the test kit: the real program
// in a copy of the staged folder, driven headless by an input script, and
// what it leaves behind (settings, hall-of-fame files, shots, the log of
// programs and pages it opened).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/input_script.h"
#include "tests/support/launcher_places.h"
#include "tests/support/picture.h"
#include "tests/support/staged_copy.h"

namespace launchertest {

namespace fs = std::filesystem;
using namespace testkit;

class LauncherProgram : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a game folder holding a copy of Pearlwreck's button picture.
    void AddGame(const std::string& name);
    // Runs the launcher with the script (the splash is clicked away first,
    // the program closed at the end) and the command-line arguments.
    int Run(const std::string& script, const std::vector<std::string>& arguments = {});
    // Runs ./Ludora in the folder with the script file (a path as the program
    // sees it) and arguments; with startPrograms, programs it opens really start.
    int RunProgram(const std::string& script, const std::vector<std::string>& arguments,
                   bool startPrograms);
    // The shell log's lines: "verb|file|parameters|directory".
    std::vector<std::string> Opened() const { return ReadLines(shellLog_); }
    // The address the collect place opens.
    static std::string SiteLine();

    std::unique_ptr<StagedCopy> copy_;
    fs::path dist_;     // the copy of the staged folder
    fs::path shellLog_; // LUDORA_SHELL_LOG
    fs::path shots_;    // where shots are written
};

} // namespace launchertest
