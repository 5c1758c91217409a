// ShellExecuteA: starts a program or opens a web address. Nothing ever goes
// through a shell: the program gets its parameters as one argument (WinMain
// rebuilds its command line by joining argv[1..] with spaces) and an address
// goes to xdg-open as one argument, so spaces, quotes, ";" and "$(...)" arrive
// unchanged and run nothing. Started processes are reaped by a helper thread,
// so none lingers as a zombie.
//
// LUDORA_SHELL_LOG=FILE appends one line per call, before anything is started:
//     verb|file|parameters|directory
// with an absent argument written as an empty field (the verb "open" when absent).
// Under the headless driver addresses are never opened and programs are
// started only when LUDORA_SHELL_RUN=1; the result is success all the same.
#include "kernel/windows_path.h"

#include "core/settings.h"

#include <shellapi.h>
#include <winbase.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr intptr_t kStarted = 42; // any value above 32 means success

HINSTANCE result(intptr_t value) {
    return reinterpret_cast<HINSTANCE>(value);
}

bool starts_with_no_case(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           ludora::kernel::equal_no_case(text.substr(0, prefix.size()), prefix);
}

bool is_web_address(const std::string& file) {
    return starts_with_no_case(file, "http:") || starts_with_no_case(file, "https:") ||
           starts_with_no_case(file, "mailto:");
}

void log_call(const char* verb, const char* file, const char* parameters, const char* directory) {
    const std::string log = ludora::settings::shell_log();
    if (log.empty()) return;
    const std::string line = std::string(verb ? verb : "open") + "|" + (file ? file : "") + "|" +
                             (parameters ? parameters : "") + "|" + (directory ? directory : "") +
                             "\n";
    const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    // One write per line, so concurrent callers never interleave within a line.
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}

bool is_folder(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool is_file(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The program's host path: a relative name is looked for in the working
// directory first, then in the current one; "X.exe" that does not exist is "X".
std::string find_program(const std::string& file, const std::string& folder) {
    std::vector<std::string> names{file};
    if (file.size() > 4 && ludora::kernel::equal_no_case(file.substr(file.size() - 4), ".exe")) {
        names.push_back(file.substr(0, file.size() - 4));
    }
    const bool relative = file[0] != '/' && file[0] != '\\';
    for (const std::string& name : names) {
        if (relative && !folder.empty()) {
            const std::string in_folder =
                ludora::kernel::resolve_windows_path(folder, name.c_str());
            if (is_file(in_folder)) return in_folder;
        }
        const std::string here = ludora::kernel::host_path(name.c_str());
        if (is_file(here)) return here;
    }
    return std::string();
}

// Starts `argv` in `folder` and reaps it in the background. 0 on success, else errno.
int spawn(const std::vector<std::string>& arguments, const std::string& folder) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // Nothing of ours (windows, sound device, files) passes to the new program.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The new program starts in a session of its own, with default signal handling.
    sigset_t all_signals;
    sigfillset(&all_signals);
    posix_spawnattr_setsigdefault(&attributes, &all_signals);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    const int error = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return error;
    std::thread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

std::string find_in_search_path(const std::string& program) {
    const std::string path = ludora::settings::env("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string candidate = path.substr(start, end - start) + "/" + program;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::string();
}

} // namespace

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile,
                                          LPCSTR lpParameters, LPCSTR lpDirectory, INT) {
    log_call(lpOperation, lpFile, lpParameters, lpDirectory);
    if (lpOperation && *lpOperation && !ludora::kernel::equal_no_case(lpOperation, "open")) {
        return result(SE_ERR_NOASSOC);
    }
    if (!lpFile || !*lpFile) return result(SE_ERR_FNF);
    const std::string file = lpFile;
    const bool headless = ludora::settings::headless();

    if (is_web_address(file)) {
        if (headless) return result(kStarted);
        const std::string opener = find_in_search_path("xdg-open");
        if (opener.empty() || spawn({opener, file}, std::string()) != 0)
            return result(SE_ERR_NOASSOC);
        return result(kStarted);
    }

    std::string folder;
    if (lpDirectory && *lpDirectory) {
        folder = ludora::kernel::host_path(lpDirectory);
        if (!is_folder(folder)) return result(SE_ERR_PNF);
    }
    const std::string program = find_program(file, folder);
    if (program.empty()) return result(SE_ERR_FNF);
    if (::access(program.c_str(), X_OK) != 0) return result(SE_ERR_ACCESSDENIED);
    if (headless && !ludora::settings::shell_run()) return result(kStarted);

    // Absolute, since the child changes to its working directory before it starts.
    char absolute[PATH_MAX];
    if (!::realpath(program.c_str(), absolute)) return result(SE_ERR_FNF);
    std::vector<std::string> arguments{absolute};
    if (lpParameters && *lpParameters) arguments.push_back(lpParameters);
    const int error = spawn(arguments, folder);
    if (error == ENOENT) return result(SE_ERR_FNF);
    if (error == EACCES || error == EPERM) return result(SE_ERR_ACCESSDENIED);
    if (error == ENOEXEC) return result(ERROR_BAD_FORMAT);
    if (error != 0) return result(SE_ERR_OOM);
    return result(kStarted);
}
