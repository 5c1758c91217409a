// Runs the scripted Win32 program headless and reads back what its window
// procedure heard, from creation to WM_QUIT.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> run_program(const std::string& script, const std::string& name) {
    const std::string dir = ::testing::TempDir();
    const std::string script_path = dir + name + ".script";
    const std::string log_path = dir + name + ".log";
    std::ofstream(script_path) << script;
    std::remove(log_path.c_str());
    const std::string command = "LUDORA_VIDEO=headless LUDORA_TIME_SCALE=20 LUDORA_SCRIPT='" +
                                script_path + "' '" LUDORA_SCRIPTED_PROGRAM "' '" + log_path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> lines;
    std::ifstream in(log_path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(ScriptedProgram, HearsEverythingInOrderUntilTheCloseBox) {
    const auto lines = run_program("wait 20\n"
                                   "move 30 40\n"
                                   "click 31 41\n"
                                   "type aB\n"
                                   "key press MENU\n"
                                   "activate 0\n"
                                   "wait 20\n"
                                   "activate 1\n"
                                   "close\n",
                                   "close_box");
    const std::string keymenu = "SYSCOMMAND " + std::to_string(0xF100);
    const std::string close = "SYSCOMMAND " + std::to_string(0xF060);
    const std::vector<std::string> expected = {"SHOW 1",
                                               "NCCREATE",
                                               "CREATE",
                                               "SHOWWINDOW",
                                               "ACTIVATEAPP 1",
                                               "ACTIVATE 1",
                                               "SETFOCUS",
                                               "SIZE 0",
                                               "MOVE",
                                               "MOUSEMOVE 30 40",
                                               "MOUSEMOVE 31 41",
                                               "LBUTTONDOWN 31 41",
                                               "LBUTTONUP",
                                               "KEYDOWN 65",
                                               "CHAR a",
                                               "KEYUP 65",
                                               "KEYDOWN 16",
                                               "KEYDOWN 66",
                                               "CHAR B",
                                               "KEYUP 66",
                                               "KEYUP 16",
                                               "SYSKEYDOWN 18",
                                               keymenu,
                                               "SYSKEYUP 18",
                                               "ACTIVATE 0",
                                               "ACTIVATEAPP 0",
                                               "KILLFOCUS",
                                               "ACTIVATEAPP 1",
                                               "ACTIVATE 1",
                                               "SETFOCUS",
                                               close,
                                               "CLOSE",
                                               "ACTIVATE 0",
                                               "ACTIVATEAPP 0",
                                               "KILLFOCUS",
                                               "DESTROY",
                                               "QUIT 0"};
    EXPECT_EQ(lines, expected);
}

TEST(ScriptedProgram, EscapeEndsItThroughTheProgramsOwnClose) {
    const auto lines = run_program("key press ESCAPE\n", "escape");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[lines.size() - 2], "DESTROY");
    EXPECT_EQ(lines.back(), "QUIT 0");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "CLOSE"), lines.end());
}

} // namespace
