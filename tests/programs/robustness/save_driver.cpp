// Performs the programs' own save sequences in a loop, in the current folder,
// so a test can kill it at any moment:
//
//   save_driver hiscore STEPS   each step reads "hiscore.dat", enters the score
//                               10 * step for "Player step N" and saves the
//                               table, as the game does at the end of a game
//   save_driver options STEPS   the launcher's writes to "options.ini": a
//                               player entered (name, address, email, send),
//                               the current player, the two switches, a
//                               player cleared; one write per step
//
// "ready" is printed before the first step and the step's number after each
// completed one, on standard output without buffering.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include <windows.h>

#include "scores/score_table.h"

namespace {

void Report(const std::string& line) {
    const std::string text = line + "\n";
    if (write(1, text.data(), text.size()) < 0) std::_Exit(3);
}

int SaveScores(int steps) {
    for (int step = 1; step <= steps; ++step) {
        ScoreTable table;
        table.Allocate(HallOfFamePlaces);
        table.Read("hiscore.dat");
        const std::string name = "Player step " + std::to_string(step);
        table.Insert(name.c_str(), 10 * step);
        if (!table.Write("hiscore.dat")) return 2;
        Report(std::to_string(step));
    }
    return 0;
}

// The launcher's writes, in its order; the same list the test keeps.
struct ProfileWrite {
    std::string section, key, value;
};

ProfileWrite OptionsWrite(int step) {
    const int round = (step - 1) / 11;
    const int slot = round % 8 + 1;
    const std::string section = "Player" + std::to_string(slot);
    const std::string tag = std::to_string(round);
    switch ((step - 1) % 11) {
    case 0:
        return {section, "name", "Name " + tag};
    case 1:
        return {section, "address", "Road " + tag};
    case 2:
        return {section, "email", "p" + tag + "@example.org"};
    case 3:
        return {section, "send", round % 2 ? "Y" : "N"};
    case 4:
        return {"setup", "playerid", std::to_string(slot - 1)};
    case 5:
        return {"setup", "sfx", round % 2 ? "Y" : "N"};
    case 6:
        return {"setup", "music", round % 2 ? "N" : "Y"};
    case 7:
        return {section, "name", section};
    case 8:
        return {section, "address", ""};
    case 9:
        return {section, "email", ""};
    default:
        return {section, "send", "Y"};
    }
}

int SaveOptions(int steps) {
    for (int step = 1; step <= steps; ++step) {
        const ProfileWrite w = OptionsWrite(step);
        if (!WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(),
                                        ".\\options.ini"))
            return 2;
        Report(std::to_string(step));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 1;
    const int steps = std::atoi(argv[2]);
    Report("ready");
    if (std::strcmp(argv[1], "hiscore") == 0) return SaveScores(steps);
    if (std::strcmp(argv[1], "options") == 0) return SaveOptions(steps);
    return 1;
}
