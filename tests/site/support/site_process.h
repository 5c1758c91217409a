// The real ludora-site, started for one test in a folder of its own on a free
// loopback port, its standard error kept in a log file beside its database.
#pragma once

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace sitetest {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

class SiteProcess {
public:
    // folder: where the site runs (its current directory) and keeps its log.
    explicit SiteProcess(std::filesystem::path folder) : folder_(std::move(folder)) {}
    ~SiteProcess();
    SiteProcess(const SiteProcess&) = delete;
    SiteProcess& operator=(const SiteProcess&) = delete;

    // Starts the site with "--port 0" and the given arguments and waits, for
    // a bounded time, until it says which port it listens on. False if it
    // ended or never said so.
    bool start(const std::vector<std::string>& arguments = {});

    // SIGTERM (or the signal given), then waits for the exit; the exit code,
    // or -1 when the signal ended it.
    int stop(int signal = SIGTERM);

    // SIGKILL: no chance to tidy up.
    void kill();

    // Runs the site to its end with exactly these arguments (no port added);
    // for arguments it refuses. The exit code.
    int run_to_end(const std::vector<std::string>& arguments);

    int port() const { return port_; }
    std::string base_address() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string log() const;

private:
    bool spawn(const std::vector<std::string>& arguments);
    int wait_for_exit(double seconds);

    std::filesystem::path folder_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace sitetest
