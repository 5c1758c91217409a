#include "kernel/file_attributes.h"

#include <winbase.h>

#include <unistd.h>

namespace ludora::kernel {

DWORD file_attributes(const std::string& host_path, const std::string& name,
                      const struct stat& info) {
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    // The owner's write bit decides even for root, who may write anything.
    if (!S_ISDIR(info.st_mode) &&
        (!(info.st_mode & S_IWUSR) || ::access(host_path.c_str(), W_OK) != 0)) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes;
}

bool is_read_only_file(const std::string& host_path) {
    struct stat info;
    if (::stat(host_path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    return (file_attributes(host_path, std::string(), info) & FILE_ATTRIBUTE_READONLY) != 0;
}

} // namespace ludora::kernel
