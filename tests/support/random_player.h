// A random player: an input script for one of the programs, made from a seed.
// Clicks lean toward the programs' real buttons and fields (every screen's,
// since the player does not know which screen is up), with random points,
// drags, keys, the right button, lost surfaces and the window leaving and
// regaining the foreground mixed in. The same seed always makes the same
// script, on any machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soak {

enum class Program { Launcher, Game };

struct Plan {
    Program program = Program::Launcher;
    uint64_t seed = 1;
    // Layer milliseconds the script's waits and holds add up to (at least).
    int64_t layerMilliseconds = 60000;
    // Leaves out everything meant to end the program (Exit, Escape, the close
    // box, Play, the game's menu), for long runs that watch one process.
    bool staysOpen = false;
    // The right button on the game's board adds searches while held, so a
    // game never ends; a player without it plays games to their end.
    bool usesRightButton = true;
    // Where `shot` writes; empty: no shots.
    std::string shotPath;
};

// A place on the screen the player aims at.
struct Target {
    const char* name;
    int x, y, width, height;
    bool endsProgram; // the program quits or hands over when it fires
    bool takesText;   // a text field
    int weight;       // how much more often than a plain button it is aimed at
};

// Every button and field of the program's screens, in screen coordinates.
const std::vector<Target>& TargetsOf(Program program);

// The script, one command a line.
std::string MakeScript(const Plan& plan);

// The layer time a script takes: its waits plus its clicks' holds.
int64_t ScriptLayerMilliseconds(const std::string& script);

} // namespace soak
