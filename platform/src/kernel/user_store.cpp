#include "kernel/user_store.h"

#include "kernel/windows_path.h"

#include <winbase.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ludora::kernel {

namespace {

struct Store {
    bool in_use = false;
    std::string installed_root; // absolute and real, no trailing "/"
    std::string user_root;      // empty when saves cannot be kept
};

bool is_regular_file(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string parent_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

bool make_folders(const std::string& path) {
    if (path.empty() || path == "/") return true;
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) || (errno = ENOTDIR, false);
    if (!make_folders(parent_of(path))) return false;
    // Saves hold the players' addresses: the store is the player's alone.
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// access(2) also says no on a read-only mount; for root it says yes to any
// mode, which is why the marker decides for an installed copy.
bool can_write_in(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string user_folder(const char*& missing) {
    const char* chosen = std::getenv("LUDORA_DATA_DIR");
    if (chosen && *chosen) {
        char cwd[PATH_MAX];
        if (chosen[0] == '/' || !::getcwd(cwd, sizeof cwd)) return chosen;
        return std::string(cwd) + "/" + chosen;
    }
    const char* data_home = std::getenv("XDG_DATA_HOME");
    if (data_home && data_home[0] == '/') return std::string(data_home) + "/ludora";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/ludora";
    missing = "HOME is not set";
    return std::string();
}

Store decide() {
    Store store;
    char exe[PATH_MAX];
    if (!::realpath("/proc/self/exe", exe)) return store;
    const std::string own_folder = parent_of(exe);
    // The launcher's folder: the program's own, or the one above for a game.
    std::string root = own_folder;
    bool marked = false;
    for (const std::string& candidate : {own_folder, parent_of(own_folder)}) {
        if (is_regular_file(candidate + "/" + InstalledMarkerName)) {
            root = candidate;
            marked = true;
            break;
        }
        if (is_regular_file(candidate + "/Ludora")) {
            root = candidate;
            break;
        }
    }
    const char* chosen = std::getenv("LUDORA_DATA_DIR");
    // Root writes anywhere, so for root only the marker or the variable decides.
    if (!marked && !(chosen && *chosen) && can_write_in(root)) return store;
    store.in_use = true;
    store.installed_root = root;
    const char* missing = nullptr;
    std::string folder = user_folder(missing);
    if (!folder.empty()) {
        folder = collapse_dots(folder);
        if (make_folders(folder) && can_write_in(folder)) {
            store.user_root = folder;
            return store;
        }
        missing = std::strerror(errno ? errno : EACCES);
    }
    std::fprintf(stderr, "ludora: cannot keep saves in %s (%s); playing without saving\n",
                 folder.empty() ? "the home folder" : folder.c_str(), missing);
    return store;
}

const Store& store() {
    static const Store decided = decide();
    return decided;
}

// The path below the installed root, or false when `host_path` lies elsewhere.
bool relative_to_root(const std::string& host_path, std::string& relative) {
    const Store& s = store();
    if (!s.in_use || host_path.empty()) return false;
    std::string absolute = host_path;
    if (absolute[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return false;
        absolute = std::string(cwd) + "/" + absolute;
    }
    absolute = collapse_dots(absolute);
    if (absolute == s.installed_root) {
        relative = ".";
        return true;
    }
    if (absolute.compare(0, s.installed_root.size() + 1, s.installed_root + "/") != 0) return false;
    relative = absolute.substr(s.installed_root.size() + 1);
    return true;
}

// The player's copy of a path below the root, matched without regard to case
// as the installed files are.
std::string stored_path(const std::string& relative) {
    return resolve_windows_path(store().user_root, relative.c_str());
}

bool copy_contents(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat info;
    ::fstat(in, &info);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                           (info.st_mode & 0777) | S_IWUSR);
    bool ok = out >= 0;
    char buffer[16384];
    while (ok) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        ok = ::write(out, buffer, size_t(got)) == got;
    }
    ::close(in);
    if (out >= 0) ::close(out);
    if (!ok && out >= 0) ::unlink(to.c_str());
    return ok;
}

std::atomic<FileWriteListener> write_listener{nullptr};

} // namespace

std::string path_for_reading(const std::string& host_path) {
    std::string relative;
    if (!relative_to_root(host_path, relative) || store().user_root.empty()) return host_path;
    const std::string stored = stored_path(relative);
    struct stat info;
    return ::lstat(stored.c_str(), &info) == 0 ? stored : host_path;
}

std::string path_for_writing(const std::string& host_path, bool keep_contents) {
    std::string relative;
    if (!relative_to_root(host_path, relative)) return host_path;
    if (store().user_root.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        errno = EACCES;
        return std::string();
    }
    std::string stored = stored_path(relative);
    while (stored.size() > 1 && stored.back() == '/')
        stored.pop_back();
    if (!make_folders(parent_of(stored))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return std::string();
    }
    struct stat info;
    if (keep_contents && ::lstat(stored.c_str(), &info) != 0 && is_regular_file(host_path)) {
        copy_contents(host_path, stored);
    }
    return stored;
}

std::string stored_folder(const std::string& host_folder) {
    std::string relative;
    if (!relative_to_root(host_folder, relative) || store().user_root.empty()) return std::string();
    const std::string stored = stored_path(relative);
    struct stat info;
    return ::stat(stored.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? stored : std::string();
}

bool is_installed_path(const std::string& host_path) {
    std::string relative;
    return relative_to_root(host_path, relative);
}

std::string user_store_root() {
    return store().in_use ? store().user_root : std::string();
}

void set_file_write_listener(FileWriteListener listener) {
    write_listener.store(listener);
}

void file_write_completed(const std::string& host_path) {
    if (FileWriteListener listener = write_listener.load()) listener(host_path);
}

std::string path_for_stdio_open(const char* windows_path, const char* mode) {
    const std::string named = host_path(windows_path);
    if (!mode || !std::strpbrk(mode, "wa+")) return path_for_reading(named);
    const bool keeps_contents = mode[0] == 'a' || mode[0] == 'r';
    return path_for_writing(named, keeps_contents);
}

} // namespace ludora::kernel
