// File handles over host file descriptors. Names are Windows paths (host_path).
// Sharing modes are accepted and not enforced: the host has no mandatory locks,
// and these programs never open one file twice at once.
#include "kernel/file_attributes.h"
#include "kernel/handle_table.h"
#include "kernel/host_errors.h"
#include "kernel/user_store.h"

#include "kernel/windows_path.h"

#include <winbase.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ludora::kernel;

namespace {

class File final : public KernelObject {
public:
    File(int fd, bool readable, bool writable, std::string path)
        : fd(fd), readable(readable), writable(writable), path(std::move(path)) {}
    ~File() override {
        ::close(fd);
        if (writable) file_write_completed(path);
    }
    const int fd;
    const bool readable;
    const bool writable;
    const std::string path;
};

std::shared_ptr<File> file_for(HANDLE handle) {
    auto file = find_handle_as<File>(handle);
    if (!file) SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

bool is_directory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

extern "C" {

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::string named = ludora::kernel::host_path(lpFileName);
    const bool readable = (dwDesiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0;
    const bool writable = (dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    // An open that may create or change the file acts on the player's copy.
    const bool may_create =
        dwCreationDisposition != OPEN_EXISTING && dwCreationDisposition != TRUNCATE_EXISTING;
    const bool keeps_contents =
        dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == OPEN_ALWAYS;
    const std::string path =
        writable || may_create ? path_for_writing(named, keeps_contents) : path_for_reading(named);
    if (path.empty()) return INVALID_HANDLE_VALUE;
    int flags = O_CLOEXEC | (readable && writable ? O_RDWR : writable ? O_WRONLY : O_RDONLY);
    switch (dwCreationDisposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        if (!writable) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // Folders open only for backup semantics on Windows.
    if (is_directory(path) && !(dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (writable && is_read_only_file(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // A file only installed exists too, though its copy is not made yet.
    const bool existed = exists(path) || exists(path_for_reading(named));
    if (existed && dwCreationDisposition == CREATE_NEW) {
        SetLastError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    const mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    const int fd = ::open(path.c_str(), flags, mode);
    if (fd < 0) {
        const int error = errno;
        SetLastError(error == EEXIST ? ERROR_FILE_EXISTS : win32_error_from_errno(error, path));
        return INVALID_HANDLE_VALUE;
    }
    if (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) ::unlink(path.c_str());
    const bool reports_existing =
        existed && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
    SetLastError(reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return add_handle(std::make_shared<File>(fd, readable, writable, path));
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED) {
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    auto file = file_for(hFile);
    if (!file) return FALSE;
    if (!file->readable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToRead > 0) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    DWORD total = 0;
    while (total < nNumberOfBytesToRead) {
        const ssize_t got =
            ::read(file->fd, static_cast<char*>(lpBuffer) + total, nNumberOfBytesToRead - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
            ludora::kernel::set_last_error_from_errno(errno);
            return FALSE;
        }
        if (got == 0) break; // end of file: success with fewer bytes
        total += static_cast<DWORD>(got);
    }
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED) {
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    auto file = file_for(hFile);
    if (!file) return FALSE;
    if (!file->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToWrite > 0) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    DWORD total = 0;
    while (total < nNumberOfBytesToWrite) {
        const ssize_t put = ::write(file->fd, static_cast<const char*>(lpBuffer) + total,
                                    nNumberOfBytesToWrite - total);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
            ludora::kernel::set_last_error_from_errno(put < 0 ? errno : ENOSPC);
            return FALSE;
        }
        total += static_cast<DWORD>(put);
    }
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod) {
    auto file = file_for(hFile);
    if (!file) return INVALID_SET_FILE_POINTER;
    int64_t distance = lDistanceToMove;
    if (lpDistanceToMoveHigh) {
        distance = static_cast<int64_t>((uint64_t(uint32_t(*lpDistanceToMoveHigh)) << 32) |
                                        uint32_t(lDistanceToMove));
    }
    const int whence = dwMoveMethod == FILE_BEGIN     ? SEEK_SET
                       : dwMoveMethod == FILE_CURRENT ? SEEK_CUR
                       : dwMoveMethod == FILE_END     ? SEEK_END
                                                      : -1;
    if (whence < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    const off_t here = ::lseek(file->fd, 0, SEEK_CUR);
    const off_t end = ::lseek(file->fd, 0, SEEK_END);
    const int64_t origin = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? here : end;
    const int64_t target = origin + distance;
    if (target < 0) {
        ::lseek(file->fd, here, SEEK_SET);
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high word the position must fit in 32 bits.
    if (!lpDistanceToMoveHigh && target > 0xFFFFFFFELL) {
        ::lseek(file->fd, here, SEEK_SET);
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    ::lseek(file->fd, static_cast<off_t>(target), SEEK_SET);
    if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(target >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(target & 0xFFFFFFFF);
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    auto file = file_for(hFile);
    struct stat info;
    if (!file || ::fstat(file->fd, &info) != 0) {
        if (file) SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFF);
}

BOOL WINAPI SetEndOfFile(HANDLE hFile) {
    auto file = file_for(hFile);
    if (!file) return FALSE;
    const off_t here = ::lseek(file->fd, 0, SEEK_CUR);
    if (here < 0 || ::ftruncate(file->fd, here) != 0) {
        ludora::kernel::set_last_error_from_errno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
    auto file = file_for(hFile);
    if (!file) return FALSE;
    if (::fsync(file->fd) != 0 && errno != EINVAL) {
        ludora::kernel::set_last_error_from_errno(errno);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetFileType(HANDLE hFile) {
    auto file = file_for(hFile);
    struct stat info;
    if (!file || ::fstat(file->fd, &info) != 0) return FILE_TYPE_UNKNOWN;
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
    if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
    return FILE_TYPE_DISK;
}

} // extern "C"
