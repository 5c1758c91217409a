// Windows-style paths on the host's file system.
#pragma once

#include <string>

namespace ludora::kernel {

// The host path for a Windows-style path: "\\" separators, "." and "..",
// relative to the current directory, and each component matched without regard
// to case when the exact name is absent. A name that matches nothing keeps its
// spelling, so a file can be created under it.
std::string host_path(const char* windows_path);

// Resolves `windows_path` against the host folder `base` (used when the path is
// relative): "\\" and "/" separate, "." and ".." are applied by name, and each
// component that does not exist as spelled is looked up without regard to case.
std::string resolve_windows_path(const std::string& base, const char* windows_path);

// An absolute path with "." and ".." applied by name alone, "\\" and "/" both
// separating: "/a/./b/../c" is "/a/c", and "/" when nothing is left.
std::string collapse_dots(const std::string& absolute);

// True when `a` and `b` are equal without regard to ASCII case.
bool equal_no_case(const std::string& a, const std::string& b);

} // namespace ludora::kernel
