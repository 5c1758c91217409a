#include "window/script.h"

#include "core/clock.h"
#include "core/host_services.h"
#include "core/settings.h"
#include "window/input.h"
#include "window/keys.h"
#include "window/present.h"

#include <winuser.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

namespace ludora::window {

namespace {

struct Command {
    int line = 0;
    std::string verb;
    std::vector<std::string> words; // the words after the verb
    std::string rest;               // everything after the verb (type, shot)
};

struct Script {
    std::mutex mutex;
    std::vector<Command> commands;
    size_t next = 0;
    uint64_t due_ms = 0;
    bool env_checked = false;
};

Script& script() {
    static Script* instance = new Script;
    return *instance;
}

uint64_t now_ms() {
    return clock_us() / 1000;
}

// Whole numbers of a sane size only: coordinates and waits stay far from overflow.
bool parse_int(const std::string& text, long& value) {
    if (text.empty() || text.size() > 9) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end && *end == 0;
}

int button_of(const std::string& word) {
    if (word == "left") return 0;
    if (word == "right") return 1;
    return -1;
}

// Checks a command's shape; the message says what is wrong.
const char* check(const Command& c) {
    long n;
    const size_t args = c.words.size();
    if (c.verb == "wait")
        return args == 1 && parse_int(c.words[0], n) && n >= 0 ? nullptr : "wait MS";
    if (c.verb == "move") {
        long x, y;
        return args == 2 && parse_int(c.words[0], x) && parse_int(c.words[1], y) ? nullptr
                                                                                 : "move X Y";
    }
    if (c.verb == "down" || c.verb == "up")
        return args == 1 && button_of(c.words[0]) >= 0 ? nullptr : "down|up left|right";
    if (c.verb == "click") {
        long x, y, hold;
        // After X and Y: a button, a hold in milliseconds, or both in that order.
        size_t at = 2;
        if (args > at && button_of(c.words[at]) >= 0) ++at;
        if (args > at && parse_int(c.words[at], hold) && hold >= 0) ++at;
        if (args >= 2 && at == args && parse_int(c.words[0], x) && parse_int(c.words[1], y))
            return nullptr;
        return "click X Y [left|right] [MS]";
    }
    if (c.verb == "key") {
        if (args != 2 || (c.words[0] != "down" && c.words[0] != "up" && c.words[0] != "press"))
            return "key down|up|press NAME";
        return key_by_name(c.words[1]) ? nullptr : "unknown key name";
    }
    if (c.verb == "type") return nullptr;
    if (c.verb == "activate")
        return args == 1 && (c.words[0] == "0" || c.words[0] == "1") ? nullptr : "activate 0|1";
    if (c.verb == "close" || c.verb == "lose") return args == 0 ? nullptr : "takes no arguments";
    if (c.verb == "shot") return c.rest.empty() ? "shot FILE" : nullptr;
    return "unknown command";
}

void press(int dik, bool down) {
    inject_key(dik, down);
}

void type_text(const std::string& text) {
    for (char ch : text) {
        int vk;
        bool shift;
        if (!key_for_char(ch, vk, shift)) continue;
        const KeyInfo* key = key_by_vk(vk);
        if (!key) continue;
        if (shift) press(0x2A, true);
        press(key->dik, true);
        press(key->dik, false);
        if (shift) press(0x2A, false);
    }
}

void run(const Command& c) {
    if (c.verb == "move") {
        inject_mouse_move(nullptr, std::atoi(c.words[0].c_str()), std::atoi(c.words[1].c_str()));
    } else if (c.verb == "down" || c.verb == "up") {
        inject_mouse_button(button_of(c.words[0]), c.verb == "down");
    } else if (c.verb == "key") {
        const KeyInfo* key = key_by_name(c.words[1]);
        if (c.words[0] != "up") press(key->dik, true);
        if (c.words[0] != "down") press(key->dik, false);
    } else if (c.verb == "type") {
        type_text(c.rest);
    } else if (c.verb == "activate") {
        inject_activate(c.words[0] == "1");
    } else if (c.verb == "close") {
        inject_close(nullptr);
    } else if (c.verb == "shot") {
        if (!save_last_frame(c.rest.c_str()))
            std::fprintf(stderr, "ludora: script line %d: cannot write %s\n", c.line,
                         c.rest.c_str());
    } else if (c.verb == "lose") {
        host::services().lose_all_surfaces();
    }
}

Command make(int line, const char* verb, std::vector<std::string> words) {
    Command c;
    c.line = line;
    c.verb = verb;
    c.words = std::move(words);
    return c;
}

// A click is a hand on the button: it moves there, presses, holds the button
// down for a moment of layer time (a program polling the button between two
// frames sees it down) and lets go.
void expand_click(const Command& click, std::vector<Command>& commands) {
    constexpr const char* default_hold_ms = "30";
    const std::vector<std::string>& w = click.words;
    size_t at = 2;
    std::string button = "left";
    if (w.size() > at && button_of(w[at]) >= 0) button = w[at++];
    const std::string hold = w.size() > at ? w[at] : default_hold_ms;
    commands.push_back(make(click.line, "move", {w[0], w[1]}));
    commands.push_back(make(click.line, "down", {button}));
    commands.push_back(make(click.line, "wait", {hold}));
    commands.push_back(make(click.line, "up", {button}));
}

std::string trim(const std::string& s) {
    const size_t begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return std::string();
    const size_t end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

} // namespace

int script_load(const std::string& text) {
    std::vector<Command> commands;
    int rejected = 0;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        const std::string body = trim(raw);
        if (body.empty() || body[0] == '#') continue;
        Command c;
        c.line = line;
        const size_t space = body.find_first_of(" \t");
        c.verb = body.substr(0, space);
        if (space != std::string::npos) {
            // `type` keeps its text as written, inner spaces included.
            c.rest = body.substr(space + 1);
            if (c.verb != "type") c.rest = trim(c.rest);
            std::istringstream words(c.rest);
            for (std::string w; words >> w;)
                c.words.push_back(w);
        }
        if (const char* problem = check(c)) {
            std::fprintf(stderr, "ludora: script line %d: %s: %s\n", line, problem, body.c_str());
            ++rejected;
            continue;
        }
        if (c.verb == "click") {
            expand_click(c, commands);
        } else {
            commands.push_back(std::move(c));
        }
    }
    Script& s = script();
    std::lock_guard lock(s.mutex);
    s.commands = std::move(commands);
    s.next = 0;
    s.due_ms = now_ms();
    s.env_checked = true;
    return rejected;
}

bool script_done() {
    Script& s = script();
    std::lock_guard lock(s.mutex);
    return s.next >= s.commands.size();
}

uint64_t script_next_due_us() {
    Script& s = script();
    std::lock_guard lock(s.mutex);
    if (!s.env_checked) return clock_us();
    if (s.next >= s.commands.size()) return kForever;
    return s.due_ms * 1000;
}

void script_tick() {
    Script& s = script();
    bool load_env = false;
    {
        std::lock_guard lock(s.mutex);
        if (!s.env_checked) {
            s.env_checked = true;
            load_env = true;
        }
    }
    if (load_env) {
        const std::string path = settings::script();
        if (!path.empty()) {
            std::ifstream file(path, std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "ludora: cannot read script %s\n", path.c_str());
            } else {
                std::ostringstream text;
                text << file.rdbuf();
                script_load(text.str());
            }
        }
    }
    for (;;) {
        Command c;
        {
            std::lock_guard lock(s.mutex);
            if (s.next >= s.commands.size()) return;
            const uint64_t now = now_ms();
            if (now < s.due_ms) return;
            c = s.commands[s.next++];
            if (c.verb == "wait") {
                s.due_ms = now + static_cast<uint64_t>(std::atol(c.words[0].c_str()));
                continue;
            }
            s.due_ms = now;
        }
        run(c);
    }
}

} // namespace ludora::window
