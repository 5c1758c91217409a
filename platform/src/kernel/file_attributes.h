// Windows attributes of host files.
#pragma once

#include <windef.h>

#include <string>
#include <sys/stat.h>

namespace ludora::kernel {

// A folder is FILE_ATTRIBUTE_DIRECTORY; a file is FILE_ATTRIBUTE_ARCHIVE, as a
// file freshly written or copied on Windows is; a name starting with "." (not
// "." or "..") is hidden as well; what cannot be written is read-only.
DWORD file_attributes(const std::string& host_path, const std::string& name,
                      const struct stat& info);

// True for an existing file that cannot be written, which Windows will neither
// open for writing, delete, nor let a private-profile write replace.
bool is_read_only_file(const std::string& host_path);

} // namespace ludora::kernel
