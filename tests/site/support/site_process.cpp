// The real ludora-site, started for one test.
#include "site_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace sitetest {

namespace {

constexpr double kStartSeconds = 20; // sanitizer builds start slowly on a busy machine

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

ScratchFolder::ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/ludora-site-test-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

SiteProcess::~SiteProcess() {
    if (pid_ > 0) kill();
}

std::string SiteProcess::log() const {
    return read_file(folder_ / "site.log");
}

bool SiteProcess::spawn(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {LUDORA_SITE_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // Every run appends to one log, so a restart's lines follow the first run's.
    const std::string log_path = (folder_ / "site.log").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log_path.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, folder_.c_str());
    const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) pid_ = -1;
    return !failed;
}

bool SiteProcess::start(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {"--port", "0"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const size_t log_before = log().size();
    if (!spawn(words)) return false;

    static const std::regex kListening(R"(listening on http://127\.0\.0\.1:(\d+))");
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(kStartSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string fresh = log().substr(log_before);
        std::smatch match;
        if (std::regex_search(fresh, match, kListening)) {
            port_ = std::stoi(match[1]);
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill();
    return false;
}

int SiteProcess::wait_for_exit(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int SiteProcess::stop(int signal) {
    if (pid_ <= 0) return -1;
    ::kill(pid_, signal);
    return wait_for_exit(20);
}

void SiteProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

int SiteProcess::run_to_end(const std::vector<std::string>& arguments) {
    if (!spawn(arguments)) return -1;
    return wait_for_exit(20);
}

} // namespace sitetest
