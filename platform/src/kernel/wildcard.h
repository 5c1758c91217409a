// Windows file-name patterns.
#pragma once

#include <string>

namespace ludora::kernel {

// Matches `name` against `pattern` as a Windows directory search does, without
// regard to case: "*" any run, "?" any one character, "*.*" everything, a
// pattern ending in ".*" also names without a dot ("readme.*" finds "readme"),
// and one ending in "." only names without a dot ("*." finds "Makefile").
bool wildcard_match(const std::string& pattern, const std::string& name);

} // namespace ludora::kernel
