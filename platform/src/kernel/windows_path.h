// Windows-style paths on the host's file system (see core/paths.h).
#pragma once

#include <string>

namespace ludora::kernel {

// Resolves `windows_path` against the host folder `base` (used when the path is
// relative): "\\" and "/" separate, "." and ".." are applied by name, and each
// component that does not exist as spelled is looked up without regard to case.
std::string resolve_windows_path(const std::string& base, const char* windows_path);

// True when `a` and `b` are equal without regard to ASCII case.
bool equal_no_case(const std::string& a, const std::string& b);

} // namespace ludora::kernel
