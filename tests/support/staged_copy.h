// The staged programs the way a player meets them: a temporary copy of the
// staged folder (build/dist), each program run headless in its own folder,
// driven by an input script, with its shell log, message log and shots kept
// beside the copy.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"

namespace testkit {

namespace fs = std::filesystem;

// The staged folder of this build.
fs::path StagedDist();

// A script whose last shot is named "LAST" (LastShot) reports reaching it.
inline constexpr const char* LastShot = "shot LAST\n";

class StagedCopy {
public:
    // Copies `staged` (the build's staged folder by default) to root/dist.
    explicit StagedCopy(const fs::path& staged = StagedDist(),
                        const std::string& prefix = "ludora-staged");
    ~StagedCopy();
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;

    bool Ready() const { return !dist.empty(); }
    fs::path Game() const { return dist / "Pearlwreck"; }
    fs::path ShellLog() const { return root.path / "shell.log"; }
    fs::path MessageLog() const { return root.path / "messages.log"; }
    fs::path Shots() const { return root.path / "shots"; }
    fs::path Shot(const std::string& name) const { return Shots() / name; }

    // Starts `program` in `folder` with the script (written beside the copy)
    // and the settings; then `defaults`; then headless, silent, the script,
    // the shell log and the message log.
    pid_t Start(const fs::path& folder, const fs::path& program,
                const std::vector<std::string>& arguments, const std::string& script,
                const std::vector<std::string>& settings = {}) const;
    Outcome Finish(pid_t child, int timeoutMilliseconds = 90000) const;
    Outcome Run(const fs::path& folder, const fs::path& program,
                const std::vector<std::string>& arguments, const std::string& script,
                const std::vector<std::string>& settings = {},
                int timeoutMilliseconds = 90000) const;

    // The launcher from its folder on the layer's own clock (its screens load
    // many pictures; a faster clock could outrun them on a busy machine).
    Outcome RunLauncher(const std::string& script, const std::vector<std::string>& arguments = {},
                        std::vector<std::string> settings = {},
                        int timeoutMilliseconds = 90000) const;
    // The game from its own folder.
    Outcome RunGame(const std::string& script, const std::vector<std::string>& arguments = {},
                    const std::vector<std::string>& settings = {},
                    int timeoutMilliseconds = 90000) const;

    // Programs the programs under test started from the copy.
    void StopProgramsInside() const { StopProgramsUnder(root.path); }

    TempFolder root;
    fs::path dist;
    std::vector<std::string> defaults; // settings every run of this copy gets
};

} // namespace testkit
