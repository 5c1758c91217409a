#include "kernel/atomic_file.h"

#include "kernel/host_errors.h"
#include "kernel/user_store.h"

#include <winerror.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ludora::kernel {

bool read_whole_file(const std::string& path, std::string& bytes, DWORD& error) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = win32_error_from_errno(errno, path);
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = win32_error_from_errno(errno, path);
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return true;
}

// A writer killed between making its temporary file and renaming it leaves the
// file behind. Ones a minute old are taken away after the next good write; a
// younger one may belong to a writer still at work in another process.
static void remove_stale_temporaries(const std::string& folder, const std::string& name) {
    const std::string prefix = "." + name + ".";
    const size_t length = prefix.size() + 6; // mkstemp's six letters
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string found = entry->d_name;
        if (found.size() != length || found.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string path = folder == "." ? found : folder + found;
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (now - info.st_mtime >= 60) ::unlink(path.c_str());
    }
    ::closedir(dir);
}

bool replace_file_contents(const std::string& path, const std::string& bytes, DWORD& error) {
    // A link is followed, so the file it names is replaced and the link kept.
    std::string target = path;
    char real[PATH_MAX];
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), real)) {
        target = real;
    }
    const bool existed = ::stat(target.c_str(), &info) == 0;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary =
        (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";

    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = win32_error_from_errno(errno, target);
        return false;
    }
    bool ok = true;
    int failure = 0;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            ok = false;
            failure = put < 0 ? errno : ENOSPC;
        } else {
            done += static_cast<size_t>(put);
        }
    }
    ::fchmod(fd, existed ? (info.st_mode & 07777) : 0644);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        failure = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        error = win32_error_from_errno(failure, target);
        return false;
    }
    // The rename itself must reach the disk too.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    remove_stale_temporaries(folder, name);
    file_write_completed(target);
    return true;
}

} // namespace ludora::kernel
