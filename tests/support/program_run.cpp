#include "tests/support/program_run.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/files.h"

extern char** environ;

namespace testkit {

pid_t Start(const Launch& launch) {
    std::vector<std::string> environment;
    std::set<std::string> named;
    for (const std::string& setting : launch.settings) {
        const std::string name = setting.substr(0, setting.find('='));
        if (!named.insert(name).second) continue;
        if (setting.find('=') != std::string::npos) environment.push_back(setting);
    }
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("LUDORA_", 0) != 0 && !named.count(text.substr(0, text.find('='))))
            environment.push_back(text);
    }
    std::vector<std::string> argumentTexts{launch.program.string()};
    argumentTexts.insert(argumentTexts.end(), launch.arguments.begin(), launch.arguments.end());
    // Everything the child needs is made before the fork.
    std::vector<char*> argv, envp;
    for (std::string& text : argumentTexts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    for (std::string& text : environment)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    const std::string program = launch.program.string();
    const std::string folder = launch.folder.string();
    const std::string printed = launch.printed.string();
    const pid_t child = fork();
    if (child == 0) {
        if (!printed.empty()) {
            const int out = open(printed.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0) _exit(126);
            dup2(out, 1);
            dup2(out, 2);
        }
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
        execvpe(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    return child;
}

Outcome Finish(pid_t child, const Launch& launch, double deadlineSeconds) {
    Outcome outcome;
    if (child <= 0) return outcome;
    const auto began = std::chrono::steady_clock::now();
    int status = 0;
    for (;;) {
        if (waitpid(child, &status, WNOHANG) == child) {
            outcome.finished = true;
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - began;
        if (spent.count() > deadlineSeconds) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    if (!launch.printed.empty()) outcome.printed = ReadText(launch.printed);
    return outcome;
}

Outcome Run(const Launch& launch, double deadlineSeconds) {
    return Finish(Start(launch), launch, deadlineSeconds);
}

bool Installed(const std::string& command) {
    return std::system(("command -v " + command + " >/dev/null 2>&1").c_str()) == 0;
}

bool HasFaultReport(const std::string& printed) {
    for (const char* mark :
         {"AddressSanitizer", "LeakSanitizer", "runtime error:", "UndefinedBehaviorSanitizer",
          "SUMMARY: ", "Segmentation fault", "terminate called"})
        if (printed.find(mark) != std::string::npos) return true;
    return false;
}

std::vector<pid_t> ProgramsUnder(const fs::path& folder) {
    std::vector<pid_t> programs;
    if (folder.empty()) return programs;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code linkError;
        const fs::path program = fs::read_symlink(entry.path() / "exe", linkError);
        if (!linkError && program.string().rfind(folder.string() + "/", 0) == 0)
            programs.push_back(static_cast<pid_t>(std::stoi(pid)));
    }
    return programs;
}

void StopProgramsUnder(const fs::path& folder) {
    for (const pid_t program : ProgramsUnder(folder))
        kill(program, SIGKILL);
}

} // namespace testkit
