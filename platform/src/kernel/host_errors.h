// Host errno values as Win32 error codes.
#pragma once

#include <windef.h>

#include <string>

namespace ludora::kernel {

// `host_path` tells ERROR_FILE_NOT_FOUND (the folder exists) from
// ERROR_PATH_NOT_FOUND (it does not) for ENOENT.
DWORD win32_error_from_errno(int error, const std::string& host_path = std::string());
void set_last_error_from_errno(int error, const std::string& host_path = std::string());

} // namespace ludora::kernel
