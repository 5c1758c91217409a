#include "kernel/host_errors.h"

#include <winbase.h>

#include <cerrno>
#include <sys/stat.h>

namespace ludora::kernel {

namespace {

bool parent_folder_exists(const std::string& path) {
    std::string folder = path;
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    const size_t slash = folder.rfind('/');
    if (slash == std::string::npos) return true; // the current directory
    folder = slash == 0 ? "/" : folder.substr(0, slash);
    struct stat info;
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

DWORD win32_error_from_errno(int error, const std::string& host_path) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return parent_folder_exists(host_path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
        return ERROR_BUSY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

void set_last_error_from_errno(int error, const std::string& host_path) {
    SetLastError(win32_error_from_errno(error, host_path));
}

} // namespace ludora::kernel
