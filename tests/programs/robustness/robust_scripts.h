// The robustness tests' scripts and readers, over the test kit's runs of the
// staged programs: exit status, what they printed (sanitizer reports), the
// shell log of programs and pages they opened, and the files they leave.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/files.h"
#include "tests/support/input_script.h"
#include "tests/support/launcher_places.h"
#include "tests/support/staged_copy.h"
#include "tests/support/temp_folder.h"

namespace robust {

namespace fs = std::filesystem;
using namespace testkit;

// Bytes from a fixed seed.
inline std::string RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// A copy of the staged folder whose game runs ten times faster than the
// layer's clock, with a fixed seed.
class StagedFolder : public StagedCopy {
public:
    explicit StagedFolder(const fs::path& staged) : StagedCopy(staged, "ludora-robust") {
        defaults = {"LUDORA_TIME_SCALE=10", "LUDORA_SEED=1313"};
    }
};

// The launcher's splash waits for a click; its close ends the program. The
// last shot is taken after `inside`, before `after`.
inline std::string LauncherScript(const std::string& inside, const std::string& after = "") {
    return "wait 300\nclick 400 60\nwait 400\n" + inside + LastShot + after +
           "wait 200\nclick 400 60\nwait 200\nclose\nwait 3000\n";
}

// The game's splash, then what the test does, then "exit" and the credits,
// and a close for a game still running.
inline std::string GameScript(const std::string& inside) {
    return "wait 500\nclick 400 300 left 120\nwait 1500\n" + inside + LastShot +
           "wait 500\nclick 754 552 left 120\nwait 7000\nclose\nwait 3000\n";
}

// A private-profile file as sections of keys, read by our own rules: "[name]"
// starts a section, "key=value" is a key, CR LF or LF ends a line. Anything
// else makes `whole` false.
struct Profile {
    std::map<std::string, std::map<std::string, std::string>> sections;
    bool whole = true;
};

inline Profile ParseProfile(const std::string& bytes) {
    Profile profile;
    std::istringstream in(bytes);
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            profile.sections[section];
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || section.empty()) {
            profile.whole = false;
            continue;
        }
        profile.sections[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
    if (!bytes.empty() && bytes.back() != '\n') profile.whole = false;
    return profile;
}

} // namespace robust
