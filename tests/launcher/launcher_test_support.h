// Running the launcher the way a player meets it: the real program in a
// temporary copy of the staged folder, driven headless by an input script,
// and what it leaves behind (settings, hall-of-fame files, shots, the log of
// programs and pages it opened).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace launchertest {

namespace fs = std::filesystem;

// A 24-bit picture read from a BMP file (shots and the staged pictures).
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first
    bool Loaded() const { return width > 0; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
Picture ReadBmp(const fs::path& path);

// A colour as the 16-bit display keeps it (5-6-5).
uint32_t Quantised(uint32_t rgb);
// Pixels of a rectangle of the shot that hold (after quantising) colour.
int CountColour(const Picture& shot, int x, int y, int width, int height, uint32_t colour);
// 1 when the rectangle of two shots is the same.
bool SameArea(const Picture& a, const Picture& b, int x, int y, int width, int height);
// How many pixels of frame `frame` (of `frames` side by side) of the picture,
// blue excluded, match the shot at (x, y) once quantised, and how many were compared.
std::pair<int, int> MatchFrame(const Picture& shot, const Picture& strip, int frames, int frame,
                               int x, int y);

std::string ReadText(const fs::path& path);
std::vector<std::string> ReadLines(const fs::path& path);
void WriteText(const fs::path& path, const std::string& text);

// The screen places a player clicks: the games pages' slots and the title buttons.
struct Point {
    int x, y;
};
Point SlotCentre(int slot); // slot 1..12
constexpr Point RightArrow{765, 40};
constexpr Point LeftArrow{664, 40};
constexpr Point PlayButton{705, 322};
constexpr Point MenuButton{705, 392};
constexpr Point HighScoresButton{120, 392};
constexpr Point PlayersButton{400, 340};
constexpr Point SfxSwitch{76, 528};
constexpr Point MusicSwitch{130, 528};
constexpr Point PlayerField(int slot); // centre of the title screen's field of slot 0..7
// The hall of fame's and the players screen's buttons (background at 53, 18).
constexpr Point UploadButton{53 + 552 + 60, 18 + 88 + 20};
constexpr Point ClearButton{53 + 552 + 60, 18 + 149 + 20};
constexpr Point HallBackButton{53 + 595 + 40, 18 + 220 + 14};
constexpr Point EnterButton{53 + 474 + 50, 18 + 471 + 20};
constexpr Point RemoveButton{53 + 360 + 50, 18 + 471 + 20};
constexpr Point PlayersBackButton{53 + 608 + 40, 18 + 489 + 14};
constexpr Point YesNoSwitch{53 + 37 + 40, 18 + 486 + 18};

constexpr Point PlayerField(int slot) {
    constexpr int xs[8] = {239, 408, 238, 408, 238, 408, 238, 408};
    constexpr int ys[8] = {378, 378, 420, 420, 464, 464, 510, 510};
    return {xs[slot] + 60, ys[slot] + 15};
}

// Script lines.
std::string Click(Point p);
std::string Shot(const fs::path& path);

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
    // Stops every process whose program lies in the folder.
    void StopProgramsInFolder();
    // The shell log's lines: "verb|file|parameters|directory".
    std::vector<std::string> Opened() const { return ReadLines(shellLog_); }
    // The address the collect place opens.
    static std::string SiteLine();

    fs::path dist_;     // the copy of the staged folder
    fs::path shellLog_; // LUDORA_SHELL_LOG
    fs::path shots_;    // where shots are written
};

} // namespace launchertest
