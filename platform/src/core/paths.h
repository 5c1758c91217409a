// Windows-style paths on the host's file system. Defined by the kernel area.
#pragma once

#include <string>

namespace ludora {

// The host path for a Windows-style path: "\\" separators, "." and "..",
// relative to the current directory, and each component matched without regard
// to case when the exact name is absent. A name that matches nothing keeps its
// spelling, so a file can be created under it.
std::string host_path(const char* windows_path);

} // namespace ludora
