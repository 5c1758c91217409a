#include "tests/support/random_player.h"

#include <sstream>
#include <string_view>

#include "tests/support/launcher_places.h"

namespace soak {

namespace {

// splitmix64: the same numbers from the same seed everywhere (the standard
// library's distributions differ between libraries).
class Dice {
public:
    explicit Dice(uint64_t seed) : state(seed) {}
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // first..last, both included.
    int Between(int first, int last) {
        return first + static_cast<int>(Next() % static_cast<uint64_t>(last - first + 1));
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

private:
    uint64_t state;
};

constexpr int ScreenWidth = 800;
constexpr int ScreenHeight = 600;
constexpr int DefaultHold = 30;

// The board's cells: rows of 38, odd rows shifted half a cell.
constexpr int BoardColumns = 38;
constexpr int BoardRows = 37;
int CellX(int cell) {
    return ((cell / BoardColumns) & 1 ? 57 : 50) + 14 * (cell % BoardColumns);
}
int CellY(int cell) {
    return 84 + 12 * (cell / BoardColumns);
}

// Pop-ups and their buttons, in the windowed launcher's client area (794 by
// 575): the hall of fame and the players screen lie at 53,18; the info page
// (792 by 460) is centred.
constexpr int HallX = 53, HallY = 18;
constexpr int InfoX = 1, InfoY = 57;

// A game's title page, from the launcher's own table: its buttons (Play and
// Exit end the program; the hall of fame and the players screen are aimed at
// twice as often) and the eight player fields.
std::vector<Target> TitleTargets() {
    std::vector<Target> targets;
    for (const ButtonPlace& place : title_page::TitleButtons) {
        const std::string_view name = place.name;
        const testkit::Point size = testkit::TitleButtonSize(name);
        targets.push_back({place.name, place.x, place.y, size.x, size.y,
                           name == "Play" || name == "Exit", false,
                           name == "HighScores" || name == "Players" ? 2 : 1});
    }
    static const char* const fieldNames[RosterPlayers] = {"player 1", "player 2", "player 3",
                                                          "player 4", "player 5", "player 6",
                                                          "player 7", "player 8"};
    for (int i = 0; i < RosterPlayers; ++i)
        targets.push_back({fieldNames[i], title_page::PlayerFields[i].x,
                           title_page::PlayerFields[i].y, title_page::FieldWidth,
                           title_page::FieldHeight, false, true, 1});
    return targets;
}

const std::vector<Target> PagesTargets = {
    // The game pages.
    {"left", 638, 19, 54, 46, false, false, 1},
    {"right", 739, 19, 54, 46, false, false, 1},
    {"help", 637, 89, 76, 40, false, false, 1},
    {"exit", 718, 89, 76, 40, true, false, 1},
    {"game", 14, 140, 250, 100, false, false, 4},
    {"collect", 271, 140, 250, 100, false, false, 1},
    {"slot3", 528, 140, 250, 100, false, false, 1},
    {"slot4", 14, 247, 250, 100, false, false, 1},
    {"slot8", 271, 355, 250, 100, false, false, 1},
    {"slot12", 528, 461, 250, 100, false, false, 1},
    {"info back", InfoX + 689, InfoY + 370, 84, 32, false, false, 6},
};

const std::vector<Target> PopUpTargets = {
    // The hall of fame.
    {"upload", HallX + 552, HallY + 88, 132, 50, false, false, 1},
    {"clear", HallX + 552, HallY + 149, 132, 50, false, false, 1},
    {"hall back", HallX + 595, HallY + 220, 84, 32, false, false, 5},
    // The players screen (its fields aimed where they lie whether or not the
    // pop-up's place moves them).
    {"enter", HallX + 474, HallY + 471, 108, 44, false, false, 3},
    {"remove", HallX + 360, HallY + 471, 108, 44, false, false, 1},
    {"players back", HallX + 608, HallY + 489, 84, 32, false, false, 5},
    {"name", 60, 300, 560, 8, false, true, 1},
    {"address", 60, 366, 560, 8, false, true, 1},
    {"email", 60, 434, 560, 8, false, true, 1},
};

const std::vector<Target> LauncherTargets = [] {
    std::vector<Target> targets = PagesTargets;
    for (const std::vector<Target>& more : {TitleTargets(), PopUpTargets})
        targets.insert(targets.end(), more.begin(), more.end());
    return targets;
}();

const std::vector<Target> GameTargets = {
    {"help", 649, 485, 102, 42, false, false, 1},
    {"newgame", 720, 485, 102, 42, false, false, 1},
    {"menu", 649, 531, 102, 42, true, false, 1},
    {"exit", 720, 531, 102, 42, true, false, 1},
    // Pop-ups: the round pictures and the hall of fame's notice.
    {"pop-up", 135, 153, 370, 300, false, false, 3},
    {"notice", 250, 202, 300, 100, false, false, 1},
};

const char* const Keys[] = {
    "RETURN", "TAB",   "BACK",       "SPACE",     "LEFT",      "RIGHT",   "UP",  "DOWN",
    "HOME",   "END",   "DELETE",     "INSERT",    "PRIOR",     "NEXT",    "F1",  "F5",
    "F10",    "SHIFT", "CONTROL",    "MENU",      "A",         "Q",       "Z",   "M",
    "7",      "0",     "OEM_PERIOD", "OEM_MINUS", "OEM_COMMA", "NUMPAD5", "F12", "OEM_2",
};
constexpr int KeyCount = sizeof Keys / sizeof Keys[0];

class ScriptWriter {
public:
    ScriptWriter(const Plan& plan) : plan(plan), dice(plan.seed * 2654435761u + 1) {}

    std::string Write() {
        // The splash picture ends on a click.
        Wait(dice.Between(200, 900));
        Click(400, 300, "left", DefaultHold);
        while (elapsed < plan.layerMilliseconds) {
            Act();
            Wait(dice.Chance(10) ? dice.Between(800, 3000) : dice.Between(40, 600));
        }
        return out.str();
    }

private:
    bool IsGame() const { return plan.program == Program::Game; }
    const char* MouseButton(int rightPercent) {
        return plan.usesRightButton && dice.Chance(rightPercent) ? "right" : "left";
    }

    void Wait(int ms) {
        out << "wait " << ms << "\n";
        elapsed += ms;
    }
    void Click(int x, int y, const char* button, int hold) {
        out << "click " << x << " " << y;
        if (hold != DefaultHold || button[0] != 'l') out << " " << button << " " << hold;
        out << "\n";
        elapsed += hold;
    }
    void Move(int x, int y) { out << "move " << x << " " << y << "\n"; }
    void Key(const char* how, const char* name) { out << "key " << how << " " << name << "\n"; }

    bool Ends(int x, int y) const {
        for (const Target& target : TargetsOf(plan.program))
            if (target.endsProgram && x >= target.x && x < target.x + target.width &&
                y >= target.y && y < target.y + target.height)
                return true;
        return false;
    }
    // A random point; a player who stays never lands on what ends the program.
    void RandomPoint(int& x, int& y) {
        do {
            x = dice.Between(0, ScreenWidth - 1);
            y = dice.Between(0, ScreenHeight - 1);
        } while (plan.staysOpen && Ends(x, y));
    }
    bool Allowed(const Target& target, bool textOnly) const {
        return !(plan.staysOpen && target.endsProgram) && (!textOnly || target.takesText);
    }
    const Target& PickTarget(bool textOnly) {
        // The way out of each pop-up weighs more, so the player is not kept
        // on one screen for long.
        const std::vector<Target>& targets = TargetsOf(plan.program);
        int total = 0;
        for (const Target& target : targets)
            if (Allowed(target, textOnly)) total += target.weight;
        if (total == 0) return targets.front();
        for (;;) {
            int pick = dice.Between(0, total - 1);
            for (const Target& target : targets) {
                if (!Allowed(target, textOnly)) continue;
                if (pick >= target.weight) {
                    pick -= target.weight;
                    continue;
                }
                // A way out is taken a third of the times it is aimed at, so
                // a run gets past its first screens.
                if (!target.endsProgram || dice.Chance(35)) return target;
                break;
            }
        }
    }
    void InsideTarget(const Target& target, int& x, int& y) {
        // Away from the edges, where pictures keep their blue key. Screens
        // overlap: a player who stays avoids another screen's way out too, and
        // then tries the whole target (the info page's Back lies mostly over
        // the title page's Exit; only its top rows are safe).
        for (int tries = 0; tries < 40; ++tries) {
            if (tries < 10) {
                x = target.x + target.width / 4 + dice.Between(0, target.width / 2);
                y = target.y + target.height / 4 + dice.Between(0, target.height / 2);
            } else {
                x = target.x + dice.Between(0, target.width - 1);
                y = target.y + dice.Between(0, target.height - 1);
            }
            if (!plan.staysOpen || !Ends(x, y)) return;
        }
        x = ScreenWidth / 2;
        y = ScreenHeight / 2;
    }
    void Cell(int& x, int& y) {
        const int cell = dice.Between(0, BoardColumns * BoardRows - 1);
        x = CellX(cell) + dice.Between(3, 10);
        y = CellY(cell) + dice.Between(2, 9);
    }
    int Hold() { return dice.Chance(70) ? DefaultHold : dice.Between(5, 400); }

    void TypeText() {
        const int length = dice.Chance(10) ? dice.Between(100, 300) : dice.Between(1, 24);
        std::string text;
        for (int i = 0; i < length; ++i)
            text += static_cast<char>(dice.Between(32, 126));
        // A script line ends at the line break; leading blanks may be trimmed.
        if (text[0] == ' ') text[0] = 'x';
        out << "type " << text << "\n";
    }

    void Act() {
        const int roll = dice.Between(0, 99);
        int x = 0, y = 0;
        if (roll < (IsGame() ? 12 : 42)) { // a button or field
            InsideTarget(PickTarget(false), x, y);
            Click(x, y, MouseButton(10), Hold());
        } else if (IsGame() && roll < 55) { // a search on the board
            Cell(x, y);
            Click(x, y, MouseButton(4), Hold());
        } else if (roll < 62) { // anywhere
            RandomPoint(x, y);
            Click(x, y, MouseButton(25), Hold());
        } else if (roll < 67) { // the right button held down (on the board in the game)
            // Held on the board it adds searches every frame, so a game would
            // never end: mostly the left button there.
            if (IsGame())
                Cell(x, y);
            else
                RandomPoint(x, y);
            Click(x, y, MouseButton(IsGame() ? 15 : 100), dice.Between(200, 2500));
        } else if (roll < 72) { // a drag
            RandomPoint(x, y);
            Move(x, y);
            const char* button = MouseButton(20);
            out << "down " << button << "\n";
            for (int steps = dice.Between(2, 6); steps > 0; --steps) {
                Wait(dice.Between(15, 120));
                RandomPoint(x, y);
                Move(x, y);
            }
            out << "up " << button << "\n";
        } else if (roll < 77) { // hovering
            RandomPoint(x, y);
            Move(x, y);
        } else if (roll < 85) { // a key
            if (!plan.staysOpen && dice.Chance(8))
                Key("press", "ESCAPE");
            else if (dice.Chance(15)) {
                const char* name = Keys[dice.Between(0, KeyCount - 1)];
                Key("down", name);
                Wait(dice.Between(10, 700));
                Key("up", name);
            } else
                Key("press", Keys[dice.Between(0, KeyCount - 1)]);
        } else if (roll < 91) { // typing into a field (the game has none: keys alone)
            if (!IsGame()) {
                InsideTarget(PickTarget(true), x, y);
                Click(x, y, "left", DefaultHold);
                Wait(dice.Between(30, 200));
            }
            TypeText();
            if (dice.Chance(50)) Key("press", dice.Chance(50) ? "RETURN" : "TAB");
        } else if (roll < 93) { // a click with Shift or Control held
            const char* modifier = dice.Chance(50) ? "SHIFT" : "CONTROL";
            Key("down", modifier);
            InsideTarget(PickTarget(false), x, y);
            Click(x, y, "left", Hold());
            Key("up", modifier);
        } else if (roll < 95) { // another program takes the foreground for a while
            out << "activate 0\n";
            if (dice.Chance(50)) {
                RandomPoint(x, y);
                Click(x, y, "left", DefaultHold); // activates the window first
            } else {
                Wait(dice.Between(50, 3000));
                out << "activate 1\n";
            }
        } else if (roll < 96) {
            out << "lose\n";
        } else if (roll < 98) {
            if (IsGame()) // the space bar closes the game's pop-ups
                Key("press", "SPACE");
            else if (!plan.shotPath.empty())
                out << "shot " << plan.shotPath << "\n";
            else
                Wait(dice.Between(1000, 5000));
        } else if (!plan.staysOpen && dice.Chance(30)) {
            out << "close\n";
        } else {
            Wait(dice.Between(1000, 5000)); // idle: timers and pictures run out
        }
    }

    const Plan& plan;
    Dice dice;
    std::ostringstream out;
    int64_t elapsed = 0;
};

} // namespace

const std::vector<Target>& TargetsOf(Program program) {
    return program == Program::Game ? GameTargets : LauncherTargets;
}

std::string MakeScript(const Plan& plan) {
    ScriptWriter writer(plan);
    return writer.Write();
}

int64_t ScriptLayerMilliseconds(const std::string& script) {
    std::istringstream in(script);
    int64_t total = 0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "wait") {
            int64_t ms = 0;
            words >> ms;
            total += ms;
        } else if (command == "click") {
            int x = 0, y = 0;
            std::string button;
            int64_t hold = DefaultHold;
            words >> x >> y >> button >> hold;
            total += hold;
        }
    }
    return total;
}

} // namespace soak
