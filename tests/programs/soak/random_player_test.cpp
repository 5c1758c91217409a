// The random player's scripts: the same seed gives the same script, every
// line is one the input script understands, the waits add up to the time
// asked for, a player who stays never touches what ends the program, and the
// mix reaches the programs' screens.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/random_player.h"

namespace {

using soak::Plan;
using soak::Program;

struct Rect {
    int x, y, width, height;
    bool Holds(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

// The ways out, from the pictures' places and sizes (two frames side by side):
// the launcher's "exit" and a title page's Play and Exit; the game's menu and exit.
const std::vector<Rect> LauncherWaysOut = {
    {718, 89, 76, 40}, {636, 296, 140, 56}, {636, 435, 140, 56}};
const std::vector<Rect> GameWaysOut = {{649, 531, 102, 42}, {720, 531, 102, 42}};

const std::set<std::string> KeyNames = {
    "ESCAPE",  "SPACE", "RETURN", "TAB",    "BACK",       "SHIFT",     "LSHIFT",    "RSHIFT",
    "CONTROL", "MENU",  "LEFT",   "RIGHT",  "UP",         "DOWN",      "HOME",      "END",
    "PRIOR",   "NEXT",  "INSERT", "DELETE", "OEM_PERIOD", "OEM_COMMA", "OEM_MINUS", "OEM_PLUS"};

bool IsKeyName(const std::string& name) {
    if (KeyNames.count(name)) return true;
    if (name.size() == 1 &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
        return true;
    if (name.size() >= 2 && name[0] == 'F') {
        const int number = std::atoi(name.c_str() + 1);
        return number >= 1 && number <= 12;
    }
    if (name.rfind("OEM_", 0) == 0 && name.size() == 5) return name[4] >= '1' && name[4] <= '7';
    if (name.rfind("NUMPAD", 0) == 0 && name.size() == 7) return name[6] >= '0' && name[6] <= '9';
    return false;
}

// What a script does, read line by line the way the layer reads it.
struct Reading {
    int64_t layerMilliseconds = 0;
    int clicks = 0, rightClicks = 0, drags = 0, keys = 0, typed = 0, longestTyped = 0;
    int activations = 0, losses = 0, closes = 0, escapes = 0, shots = 0;
    std::vector<std::pair<int, int>> pointer; // every place the mouse is moved, pressed or clicked
    std::vector<std::pair<int, int>> clickedAt;
    std::vector<std::string> errors;
};

Reading Read(const std::string& script) {
    Reading reading;
    std::istringstream in(script);
    int lineNumber = 0;
    int pressed = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        std::istringstream words(line);
        std::string command;
        words >> command;
        auto fail = [&] { reading.errors.push_back(std::to_string(lineNumber) + ": " + line); };
        if (command == "wait") {
            int64_t ms = -1;
            if (!(words >> ms) || ms < 0) fail();
            reading.layerMilliseconds += ms;
        } else if (command == "click" || command == "move") {
            int x = -1, y = -1;
            if (!(words >> x >> y) || x < 0 || x >= 800 || y < 0 || y >= 600) fail();
            reading.pointer.push_back({x, y});
            if (command == "click") {
                std::string button = "left";
                int64_t hold = 30;
                words >> button >> hold;
                if ((button != "left" && button != "right") || hold < 0) fail();
                reading.layerMilliseconds += hold;
                ++reading.clicks;
                reading.rightClicks += button == "right";
                reading.clickedAt.push_back({x, y});
            }
        } else if (command == "down" || command == "up") {
            std::string button;
            words >> button;
            if (button != "left" && button != "right") fail();
            if (command == "down")
                ++pressed;
            else if (--pressed < 0)
                fail();
            reading.drags += command == "up";
        } else if (command == "key") {
            std::string how, name;
            words >> how >> name;
            if ((how != "down" && how != "up" && how != "press") || !IsKeyName(name)) fail();
            ++reading.keys;
            reading.escapes += name == "ESCAPE";
        } else if (command == "type") {
            const std::string text = line.size() > 5 ? line.substr(5) : "";
            if (text.empty() || text[0] == ' ') fail();
            for (char c : text)
                if (c < 32 || c > 126) fail();
            ++reading.typed;
            reading.longestTyped =
                std::max<int>(reading.longestTyped, static_cast<int>(text.size()));
        } else if (command == "activate") {
            std::string state;
            words >> state;
            if (state != "0" && state != "1") fail();
            ++reading.activations;
        } else if (command == "lose") {
            ++reading.losses;
        } else if (command == "close") {
            ++reading.closes;
        } else if (command == "shot") {
            ++reading.shots;
        } else {
            fail();
        }
    }
    if (pressed != 0) reading.errors.push_back("a button is left down");
    return reading;
}

Plan MakePlan(Program program, uint64_t seed, int64_t ms, bool stays = false) {
    Plan plan;
    plan.program = program;
    plan.seed = seed;
    plan.layerMilliseconds = ms;
    plan.staysOpen = stays;
    return plan;
}

int ClicksInside(const Reading& reading, const Rect& rect) {
    int count = 0;
    for (const auto& [x, y] : reading.clickedAt)
        count += rect.Holds(x, y);
    return count;
}

TEST(RandomPlayer, SameSeedSameScriptAndOtherSeedsDiffer) {
    for (Program program : {Program::Launcher, Program::Game}) {
        const std::string first = soak::MakeScript(MakePlan(program, 7, 30000));
        EXPECT_EQ(first, soak::MakeScript(MakePlan(program, 7, 30000)));
        EXPECT_NE(first, soak::MakeScript(MakePlan(program, 8, 30000)));
        // A longer run from the same seed begins the same way.
        const std::string longer = soak::MakeScript(MakePlan(program, 7, 90000));
        EXPECT_EQ(longer.compare(0, first.size() / 2, first, 0, first.size() / 2), 0);
    }
    EXPECT_NE(soak::MakeScript(MakePlan(Program::Launcher, 7, 30000)),
              soak::MakeScript(MakePlan(Program::Game, 7, 30000)));
}

TEST(RandomPlayer, EveryLineIsUnderstoodAndTheWaitsCoverTheTimeAskedFor) {
    for (Program program : {Program::Launcher, Program::Game})
        for (uint64_t seed = 1; seed <= 40; ++seed)
            for (bool stays : {false, true}) {
                const int64_t asked = 5000 + static_cast<int64_t>(seed) * 1500;
                const std::string script = soak::MakeScript(MakePlan(program, seed, asked, stays));
                const Reading reading = Read(script);
                EXPECT_TRUE(reading.errors.empty())
                    << "seed " << seed << ": " << reading.errors.front();
                // No step is longer than a long idle wait or a long hold with a drag.
                EXPECT_GE(reading.layerMilliseconds, asked) << "seed " << seed;
                EXPECT_LE(reading.layerMilliseconds, asked + 10000) << "seed " << seed;
                EXPECT_EQ(soak::ScriptLayerMilliseconds(script), reading.layerMilliseconds);
                // The splash picture is ended first.
                EXPECT_EQ(script.rfind("wait ", 0), 0u);
                EXPECT_NE(script.find("\nclick 400 300\n"), std::string::npos);
            }
}

TEST(RandomPlayer, APlayerWhoStaysNeverTouchesAWayOut) {
    for (Program program : {Program::Launcher, Program::Game}) {
        const std::vector<Rect>& waysOut = program == Program::Game ? GameWaysOut : LauncherWaysOut;
        for (uint64_t seed = 1; seed <= 10; ++seed) {
            const Reading reading =
                Read(soak::MakeScript(MakePlan(program, seed, 10 * 60000, true)));
            EXPECT_EQ(reading.closes, 0);
            EXPECT_EQ(reading.escapes, 0);
            for (const auto& [x, y] : reading.pointer)
                for (const Rect& rect : waysOut)
                    EXPECT_FALSE(rect.Holds(x, y)) << "seed " << seed << " at " << x << "," << y;
            // The info page's Back lies over the title page's Exit but for its
            // top rows: a player who stays still finds the way back there, or
            // a long run ends up on the info page for good.
            if (program == Program::Launcher) {
                EXPECT_GE(ClicksInside(reading, {690, 427, 84, 8}), 3) << "seed " << seed;
            }
        }
    }
}

TEST(RandomPlayer, APlayerWhoMayLeaveLeavesNowAndThen) {
    for (Program program : {Program::Launcher, Program::Game}) {
        const std::vector<Rect>& waysOut = program == Program::Game ? GameWaysOut : LauncherWaysOut;
        const Reading reading = Read(soak::MakeScript(MakePlan(program, 3, 10 * 60000)));
        int leaving = reading.closes + reading.escapes;
        for (const Rect& rect : waysOut)
            leaving += ClicksInside(reading, rect);
        // Often enough that a minute sees the program started again, not so
        // often that it never gets past its first screen.
        EXPECT_GE(leaving, 10);
        EXPECT_LE(leaving, 300);
    }
}

TEST(RandomPlayer, APlayerWithoutTheRightButtonNeverPressesIt) {
    for (Program program : {Program::Launcher, Program::Game}) {
        Plan plan = MakePlan(program, 9, 10 * 60000);
        plan.usesRightButton = false;
        const std::string script = soak::MakeScript(plan);
        EXPECT_EQ(Read(script).rightClicks, 0);
        EXPECT_EQ(script.find("right"), std::string::npos);
        EXPECT_GT(Read(soak::MakeScript(MakePlan(program, 9, 10 * 60000))).rightClicks, 0);
    }
}

TEST(RandomPlayer, TheLauncherPlayerReachesEveryScreenAndTypesIntoFields) {
    const Reading reading = Read(soak::MakeScript(MakePlan(Program::Launcher, 5, 10 * 60000)));
    // The game's button on the shelf (the first place, 250 by 100 at 14,140),
    // the info button, Players and High Scores on the title page, the hall of
    // fame's and the players screen's buttons (their pop-ups at 53,18) and the
    // info page's Back (the page centred at 1,57).
    const std::vector<std::pair<const char*, Rect>> places = {
        {"the game on the shelf", {14, 140, 250, 100}},
        {"info", {637, 89, 76, 40}},
        {"info's Back", {690, 427, 84, 32}},
        {"Players", {280, 318, 240, 48}},
        {"High Scores", {52, 365, 140, 56}},
        {"the first player's field", {239, 378, 150, 30}},
        {"upload", {605, 106, 132, 50}},
        {"clear", {605, 167, 132, 50}},
        {"remove", {413, 489, 108, 44}},
        {"the players screen's name field", {50, 300, 580, 8}},
    };
    for (const auto& [name, rect] : places)
        EXPECT_GE(ClicksInside(reading, rect), 3) << name;
    EXPECT_GE(reading.typed, 20);
    EXPECT_GT(reading.longestTyped, 255) << "names longer than the programs' buffers";
    EXPECT_GE(reading.rightClicks, 20);
    EXPECT_GE(reading.drags, 20);
    EXPECT_GE(reading.activations, 8);
    EXPECT_GE(reading.losses, 3);
    EXPECT_GE(reading.keys, 100);
}

TEST(RandomPlayer, TheGamePlayerSearchesTheBoardAndUsesTheButtons) {
    const Reading reading = Read(soak::MakeScript(MakePlan(Program::Game, 5, 10 * 60000)));
    // The board: 38 cells of 14 pixels a row (odd rows half a cell on) from
    // 50,84, 37 rows of 12 pixels.
    int onBoard = 0;
    for (const auto& [x, y] : reading.clickedAt)
        onBoard += x >= 50 && x < 50 + 38 * 14 + 7 && y >= 84 && y < 84 + 37 * 12;
    EXPECT_GE(onBoard, reading.clicks / 4);
    EXPECT_GE(ClicksInside(reading, {720, 485, 102, 42}), 10) << "newgame";
    EXPECT_GE(ClicksInside(reading, {649, 485, 102, 42}), 3) << "help";
    EXPECT_GE(reading.rightClicks, 10);
    EXPECT_GE(reading.keys, 50);
    EXPECT_GE(reading.activations, 5);
}

} // namespace
