// Running the staged programs from a temporary copy of the staged folder, the
// way a player meets them: headless, driven by an input script, checked by
// their exit status, what they printed (sanitizer reports), the shell log of
// programs and pages they opened, and the files they leave.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace robust {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Bytes from a fixed seed.
inline std::string RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

// A sanitizer's or the runtime's report in what a program printed.
inline bool HasFaultReport(const std::string& printed) {
    for (const char* mark :
         {"AddressSanitizer", "LeakSanitizer", "runtime error:", "UndefinedBehaviorSanitizer",
          "Segmentation fault", "terminate called"})
        if (printed.find(mark) != std::string::npos) return true;
    return false;
}

struct Outcome {
    int status = -1;         // exit code; 128 + signal when killed; -1 when it had to be stopped
    std::string printed;     // standard output and error together
    bool reachedEnd = false; // the script's last shot was taken
};

// Scripts name their last shot "LAST"; the run puts it in its own folder.
constexpr const char* LastShot = "shot LAST\n";

// A copy of the staged folder under /tmp, removed afterwards.
class StagedFolder {
public:
    explicit StagedFolder(const fs::path& staged) {
        std::string pattern = (fs::temp_directory_path() / "ludora-robust-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) return;
        root = pattern;
        dist = root / "dist";
        std::error_code error;
        fs::copy(staged, dist, fs::copy_options::recursive, error);
        if (error) dist.clear();
    }
    ~StagedFolder() {
        std::error_code ignored;
        if (!root.empty()) {
            fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
            fs::remove_all(root, ignored);
        }
    }
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    bool Ready() const { return !dist.empty(); }
    fs::path Game() const { return dist / "Pearlwreck"; }
    fs::path ShellLog() const { return root / "shell.log"; }

    // Starts `program` (a path inside the copy) in `folder` with the settings
    // and arguments; LUDORA_ settings of the test's own environment are dropped.
    pid_t Start(const fs::path& folder, const fs::path& program,
                const std::vector<std::string>& arguments, const std::string& script,
                const std::vector<std::string>& settings = {}) const {
        const fs::path scriptFile = root / "script.txt";
        std::string text = script;
        const size_t last = text.find(LastShot);
        if (last != std::string::npos)
            text.replace(last, std::strlen(LastShot),
                         "shot " + (root / "last.bmp").string() + "\n");
        std::error_code ignored;
        fs::remove(root / "last.bmp", ignored);
        WriteFile(scriptFile, text);
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            if (text.rfind("LUDORA_", 0) != 0) environment.push_back(text);
        }
        // The test's settings come first: the first of a name is the one read.
        for (const std::string& setting : settings)
            environment.push_back(setting);
        for (const std::string& setting :
             {std::string("LUDORA_VIDEO=headless"), std::string("LUDORA_AUDIO=none"),
              std::string("LUDORA_TIME_SCALE=10"), std::string("LUDORA_SEED=1313"),
              "LUDORA_SCRIPT=" + scriptFile.string(), "LUDORA_SHELL_LOG=" + ShellLog().string(),
              "LUDORA_MESSAGE_LOG=" + (root / "messages.log").string()})
            environment.push_back(setting);
        const fs::path printed = root / "printed.txt";
        const pid_t child = fork();
        if (child == 0) {
            const int out = open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out >= 0) {
                dup2(out, 1);
                dup2(out, 2);
            }
            if (chdir(folder.c_str()) != 0) _exit(126);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            std::vector<char*> envp;
            for (std::string& text : environment)
                envp.push_back(text.data());
            envp.push_back(nullptr);
            execve(program.c_str(), argv.data(), envp.data());
            _exit(127);
        }
        return child;
    }

    // Waits for the program; one that does not end in time is stopped.
    Outcome Finish(pid_t child, int timeoutMilliseconds = 90000) const {
        Outcome outcome;
        int status = 0;
        bool ended = false;
        for (int waited = 0; waited < timeoutMilliseconds; waited += 5) {
            if (waitpid(child, &status, WNOHANG) == child) {
                ended = true;
                break;
            }
            usleep(5000);
        }
        if (!ended) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        } else {
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        outcome.printed = ReadFile(root / "printed.txt");
        std::error_code ignored;
        outcome.reachedEnd = fs::file_size(root / "last.bmp", ignored) > 54 && !ignored;
        StopProgramsInside();
        return outcome;
    }

    Outcome Run(const fs::path& folder, const fs::path& program,
                const std::vector<std::string>& arguments, const std::string& script,
                const std::vector<std::string>& settings = {}) const {
        return Finish(Start(folder, program, arguments, script, settings));
    }

    // The launcher from its folder on the layer's own clock (its screens load
    // many pictures; a faster clock could outrun them on a busy machine), the
    // game from its own folder ten times faster.
    Outcome RunLauncher(const std::string& script, const std::vector<std::string>& arguments = {},
                        std::vector<std::string> settings = {}) const {
        settings.push_back("LUDORA_TIME_SCALE=1");
        return Run(dist, dist / "Ludora", arguments, script, settings);
    }
    Outcome RunGame(const std::string& script, const std::vector<std::string>& arguments = {},
                    const std::vector<std::string>& settings = {}) const {
        return Run(Game(), Game() / "Pearlwreck", arguments, script, settings);
    }

    // Programs the programs under test started from the copy.
    void StopProgramsInside() const {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
            const std::string pid = entry.path().filename().string();
            if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
            std::error_code linkError;
            const fs::path program = fs::read_symlink(entry.path() / "exe", linkError);
            if (!linkError && program.string().rfind(root.string() + "/", 0) == 0)
                kill(static_cast<pid_t>(std::stoi(pid)), SIGKILL);
        }
    }

    fs::path root;
    fs::path dist;
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

inline std::string Click(int x, int y, int waitMilliseconds = 250) {
    return "click " + std::to_string(x) + " " + std::to_string(y) + "\nwait " +
           std::to_string(waitMilliseconds) + "\n";
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
