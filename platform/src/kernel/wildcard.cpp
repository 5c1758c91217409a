#include "kernel/wildcard.h"

#include <cctype>

namespace ludora::kernel {

namespace {

bool same(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

// Iterative glob with one back-tracking point: linear in practice, no recursion
// for hostile patterns such as "*a*a*a*a*b".
bool glob(const std::string& pattern, const std::string& name) {
    size_t p = 0, n = 0, star = std::string::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool wildcard_match(const std::string& pattern, const std::string& name) {
    if (pattern == "*" || pattern == "*.*") return true;
    // "." and ".." count as names without an extension.
    const bool has_dot = name.find('.') != std::string::npos && name != "." && name != "..";
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 && !has_dot &&
        glob(pattern.substr(0, pattern.size() - 2), name)) {
        return true;
    }
    if (!pattern.empty() && pattern.back() == '.' &&
        pattern.find_first_of("*?") != std::string::npos) {
        return !has_dot && glob(pattern.substr(0, pattern.size() - 1), name);
    }
    return glob(pattern, name);
}

} // namespace ludora::kernel
