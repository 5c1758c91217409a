// Whole-file and folder operations and the current directory, on Windows paths.
#include "kernel/file_attributes.h"
#include "kernel/host_errors.h"
#include "kernel/user_store.h"

#include "kernel/windows_path.h"

#include <winbase.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace ludora::kernel;

namespace {

std::string last_component(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool fail_with_errno(const std::string& path) {
    set_last_error_from_errno(errno, path);
    return false;
}

// Copies through a temporary file beside the target, so a failed copy leaves
// the target as it was.
bool copy_file(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return fail_with_errno(from);
    struct stat info;
    ::fstat(in, &info);
    std::string temporary = to + ".copyXXXXXX";
    const int out = ::mkstemp(temporary.data());
    if (out < 0) {
        ::close(in);
        return fail_with_errno(to);
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < got;) {
            const ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0)
                ok = false;
            else
                done += put;
        }
        if (!ok) break;
    }
    const int error = ok ? 0 : (errno ? errno : ENOSPC);
    ::fchmod(out, info.st_mode & 07777);
    ok = ok && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (ok && ::rename(temporary.c_str(), to.c_str()) == 0) {
        file_write_completed(to);
        return true;
    }
    const int final_error = error ? error : errno;
    ::unlink(temporary.c_str());
    set_last_error_from_errno(final_error, to);
    return false;
}

// Forces a file's data to the disk.
bool sync_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

// Forces a folder's entries, a rename into or out of it, to the disk.
void sync_folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The absolute host path of a Windows path, worked out by name alone as
// Windows does: the current directory in front of a relative path, "." and
// ".." applied, "\\" written as the host's "/". The disk is not consulted.
std::string full_path_name(const char* windows_path) {
    std::string text = windows_path;
    if (text[0] != '/' && text[0] != '\\') {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd)) {
            fail_with_errno(std::string());
            return std::string();
        }
        text = std::string(cwd) + "/" + text;
    }
    const bool trailing_separator = text.back() == '/' || text.back() == '\\';
    std::string full = collapse_dots(text);
    if (trailing_separator && full != "/") full += '/';
    return full;
}

} // namespace

extern "C" {

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    const std::string path = path_for_reading(ludora::kernel::host_path(lpFileName));
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        fail_with_errno(path);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = file_attributes(path, last_component(path), info);
    // An installed file can be written as far as the program can tell: its
    // changes go to the player's copy.
    if (is_installed_path(path) && !user_store_root().empty()) {
        attributes &= ~DWORD(FILE_ATTRIBUTE_READONLY);
    }
    return attributes;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string path = path_for_reading(ludora::kernel::host_path(lpFileName));
    struct stat info;
    const bool found = ::lstat(path.c_str(), &info) == 0;
    // The installed files are never changed: only a player's copy goes.
    if ((found && (S_ISDIR(info.st_mode) || is_installed_path(path))) || is_read_only_file(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::unlink(path.c_str()) != 0) return fail_with_errno(path);
    file_write_completed(path);
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    if (!lpPathName || !*lpPathName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string named = ludora::kernel::host_path(lpPathName);
    struct stat info;
    if (is_installed_path(named) && ::stat(named.c_str(), &info) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    const std::string path = path_for_writing(named, false);
    if (path.empty()) return FALSE;
    if (::mkdir(path.c_str(), 0777) != 0) return fail_with_errno(path);
    file_write_completed(path);
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
    if (!lpPathName || !*lpPathName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string path = path_for_reading(ludora::kernel::host_path(lpPathName));
    if (is_installed_path(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::rmdir(path.c_str()) != 0) return fail_with_errno(path);
    file_write_completed(path);
    return TRUE;
}

BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
    if (!lpExistingFileName || !lpNewFileName || !*lpExistingFileName || !*lpNewFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string from = path_for_reading(ludora::kernel::host_path(lpExistingFileName));
    const std::string named_to = ludora::kernel::host_path(lpNewFileName);
    struct stat info;
    if (::stat(from.c_str(), &info) != 0) return fail_with_errno(from);
    if (S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (bFailIfExists && ::stat(path_for_reading(named_to).c_str(), &info) == 0) {
        SetLastError(ERROR_FILE_EXISTS);
        return FALSE;
    }
    const std::string to = path_for_writing(named_to, false);
    if (to.empty()) return FALSE;
    if (is_read_only_file(to)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return copy_file(from, to);
}

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
    // Windows' plain move never replaces a target and copies across volumes.
    return MoveFileExA(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
    constexpr DWORD known =
        MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
    if (dwFlags & ~known) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!lpExistingFileName || !lpNewFileName || !*lpExistingFileName || !*lpNewFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string from = path_for_reading(ludora::kernel::host_path(lpExistingFileName));
    const std::string named_to = ludora::kernel::host_path(lpNewFileName);
    struct stat source;
    if (::lstat(from.c_str(), &source) != 0) return fail_with_errno(from);
    // An installed file stays where it is; only a player's copy moves.
    if (is_installed_path(from)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const std::string seen_to = path_for_reading(named_to);
    const std::string to = path_for_writing(named_to, false);
    if (to.empty()) return FALSE;
    struct stat target;
    // A case-only rename names the same file twice and is no replacement.
    if (::lstat(seen_to.c_str(), &target) == 0 && from != to) {
        if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
        // Windows replaces neither a folder nor a read-only file, nor with a folder.
        if (S_ISDIR(target.st_mode) || S_ISDIR(source.st_mode) || is_read_only_file(to)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    const bool write_through = dwFlags & MOVEFILE_WRITE_THROUGH;
    if (write_through && S_ISREG(source.st_mode) && !sync_file(from)) return fail_with_errno(from);
    // rename(2) swaps the target for the source in one step: a reader sees the
    // old file or the new one, never neither.
    if (::rename(from.c_str(), to.c_str()) == 0) {
        if (write_through) {
            sync_folder_of(to);
            sync_folder_of(from);
        }
        file_write_completed(to);
        return TRUE;
    }
    if (errno != EXDEV) return fail_with_errno(to);
    if (!(dwFlags & MOVEFILE_COPY_ALLOWED) || S_ISDIR(source.st_mode)) {
        SetLastError(ERROR_NOT_SAME_DEVICE);
        return FALSE;
    }
    // The copy reaches the disk before the source goes, whatever the flags say.
    if (!copy_file(from, to)) return FALSE;
    if (write_through) sync_folder_of(to);
    if (::unlink(from.c_str()) != 0) return fail_with_errno(from);
    file_write_completed(from);
    return TRUE;
}

DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                              LPSTR* lpFilePart) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    const std::string full = full_path_name(lpFileName);
    if (full.empty()) return 0;
    const DWORD length = static_cast<DWORD>(full.size());
    // Too small: nothing is written and the size needed, with its NUL, is returned.
    if (!lpBuffer || nBufferLength <= length) return length + 1;
    std::memcpy(lpBuffer, full.c_str(), length + 1);
    if (lpFilePart) {
        const size_t slash = full.rfind('/');
        *lpFilePart = slash + 1 < full.size() ? lpBuffer + slash + 1 : nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return length;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
    char path[4096];
    if (!::getcwd(path, sizeof path)) {
        fail_with_errno(std::string());
        return 0;
    }
    const DWORD length = static_cast<DWORD>(std::strlen(path));
    // Too small: nothing is written and the size needed, with its NUL, is returned.
    if (!lpBuffer || nBufferLength <= length) return length + 1;
    std::memcpy(lpBuffer, path, length + 1);
    return length;
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
    if (!lpPathName || !*lpPathName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string path = ludora::kernel::host_path(lpPathName);
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    return ::chdir(path.c_str()) == 0 || fail_with_errno(path);
}

} // extern "C"
