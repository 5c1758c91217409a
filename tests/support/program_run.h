// Running a program as its own process: its folder, arguments and settings,
// a deadline, and what it leaves (exit status, what it printed).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace testkit {

namespace fs = std::filesystem;

struct Launch {
    fs::path program; // the file run; a name without a slash is looked up on the PATH
    fs::path folder;  // its current directory
    std::vector<std::string> arguments;
    // "NAME=VALUE" lines; the first of a name counts, and "NAME" alone leaves
    // it out. The rest of the test's own environment is passed on, except
    // every LUDORA_ setting.
    std::vector<std::string> settings;
    fs::path printed; // where standard output and error go; empty keeps the test's
};

struct Outcome {
    int status = -1;         // exit code; 128 + signal when one ended it; -1 when stopped
    bool finished = false;   // it ended by itself before the deadline
    double seconds = 0;      // wall time
    std::string printed;     // what Launch::printed received
    bool reachedEnd = false; // a script's last shot was taken (StagedCopy)
};

pid_t Start(const Launch& launch);
// Waits for the program; one still running at the deadline is killed.
Outcome Finish(pid_t child, const Launch& launch, double deadlineSeconds = 60);
Outcome Run(const Launch& launch, double deadlineSeconds = 60);

// 1 when the command is on the PATH (tests of optional tools skip without it).
bool Installed(const std::string& command);

// A sanitizer's or the runtime's report in what a program printed.
bool HasFaultReport(const std::string& printed);
// The processes whose program file lies below the folder (programs the
// programs under test started); StopProgramsUnder kills them.
std::vector<pid_t> ProgramsUnder(const fs::path& folder);
void StopProgramsUnder(const fs::path& folder);

} // namespace testkit
