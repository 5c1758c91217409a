#include "tests/support/staged_copy.h"

#include <cstring>

#include "tests/support/files.h"

namespace testkit {

fs::path StagedDist() {
    return LUDORA_STAGED_DIR;
}

StagedCopy::StagedCopy(const fs::path& staged, const std::string& prefix) : root(prefix) {
    if (!root.Made()) return;
    std::error_code error;
    fs::copy(staged, root.path / "dist", fs::copy_options::recursive, error);
    fs::create_directories(Shots(), error);
    if (!error) dist = fs::canonical(root.path / "dist", error);
    if (error) dist.clear();
}

StagedCopy::~StagedCopy() {
    StopProgramsInside();
}

pid_t StagedCopy::Start(const fs::path& folder, const fs::path& program,
                        const std::vector<std::string>& arguments, const std::string& script,
                        const std::vector<std::string>& settings) const {
    const fs::path scriptFile = root.path / "script.txt";
    std::string text = script;
    const size_t last = text.find(LastShot);
    if (last != std::string::npos)
        text.replace(last, std::strlen(LastShot),
                     "shot " + (root.path / "last.bmp").string() + "\n");
    std::error_code ignored;
    fs::remove(root.path / "last.bmp", ignored);
    WriteText(scriptFile, text);
    Launch launch{program, folder, arguments, settings, root.path / "printed.txt"};
    launch.settings.insert(launch.settings.end(), defaults.begin(), defaults.end());
    for (const std::string& setting :
         {std::string("LUDORA_VIDEO=headless"), std::string("LUDORA_AUDIO=none"),
          "LUDORA_SCRIPT=" + scriptFile.string(), "LUDORA_SHELL_LOG=" + ShellLog().string(),
          "LUDORA_MESSAGE_LOG=" + MessageLog().string()})
        launch.settings.push_back(setting);
    return testkit::Start(launch);
}

Outcome StagedCopy::Finish(pid_t child, int timeoutMilliseconds) const {
    Launch launch;
    launch.printed = root.path / "printed.txt";
    Outcome outcome = testkit::Finish(child, launch, timeoutMilliseconds / 1000.0);
    std::error_code ignored;
    outcome.reachedEnd = fs::file_size(root.path / "last.bmp", ignored) > 54 && !ignored;
    StopProgramsInside();
    return outcome;
}

Outcome StagedCopy::Run(const fs::path& folder, const fs::path& program,
                        const std::vector<std::string>& arguments, const std::string& script,
                        const std::vector<std::string>& settings, int timeoutMilliseconds) const {
    return Finish(Start(folder, program, arguments, script, settings), timeoutMilliseconds);
}

Outcome StagedCopy::RunLauncher(const std::string& script,
                                const std::vector<std::string>& arguments,
                                std::vector<std::string> settings, int timeoutMilliseconds) const {
    settings.push_back("LUDORA_TIME_SCALE=1");
    return Run(dist, dist / "Ludora", arguments, script, settings, timeoutMilliseconds);
}

Outcome StagedCopy::RunGame(const std::string& script, const std::vector<std::string>& arguments,
                            const std::vector<std::string>& settings,
                            int timeoutMilliseconds) const {
    return Run(Game(), Game() / "Pearlwreck", arguments, script, settings, timeoutMilliseconds);
}

} // namespace testkit
