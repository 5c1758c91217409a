// Replacing a file's contents so that a crash or a full disk never leaves it
// half written: the new contents go to a temporary file in the same folder,
// which then takes the old file's place in one rename.
#pragma once

#include <windef.h>

#include <string>

namespace ludora::kernel {

// Reads a whole file. 0 and `error` (a Win32 code) when it cannot; ERROR_FILE_NOT_FOUND
// or ERROR_PATH_NOT_FOUND when it is absent.
bool read_whole_file(const std::string& path, std::string& bytes, DWORD& error);

// Writes `bytes` as the whole new contents of `path`. 0 and `error` on failure,
// with the old file untouched.
bool replace_file_contents(const std::string& path, const std::string& bytes, DWORD& error);

} // namespace ludora::kernel
