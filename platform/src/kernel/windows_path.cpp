#include "kernel/windows_path.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace ludora::kernel {

namespace {

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// The one entry of `folder` named `name` without regard to case; when several
// differ only in case, the first in byte order, so the choice is repeatable.
bool find_no_case(const std::string& folder, const std::string& name, std::string& found) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    bool any = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (!equal_no_case(candidate, name)) continue;
        if (!any || candidate < found) found = candidate;
        any = true;
    }
    ::closedir(dir);
    return any;
}

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

} // namespace

bool equal_no_case(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string resolve_windows_path(const std::string& base, const char* windows_path) {
    if (!windows_path || !*windows_path) return std::string();
    const std::string text = windows_path;
    const bool absolute = text[0] == '/' || text[0] == '\\';
    const bool trailing_separator = text.back() == '/' || text.back() == '\\';

    // Components after "." and ".." are applied by name, as Windows does, so
    // "missing\\..\\x" is "x" even though "missing" does not exist.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("/\\", start);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
            } else if (!absolute) {
                parts.push_back(part);
            }
            continue;
        }
        parts.push_back(part);
    }

    // Relative paths are checked against `base` (the current directory when empty).
    std::string resolved = absolute ? "/" : base;
    bool folder_exists = true;
    for (const std::string& part : parts) {
        std::string name = part;
        if (part != ".." && folder_exists && !exists(join(resolved, part))) {
            std::string found;
            if (find_no_case(resolved.empty() ? "." : resolved, part, found)) {
                name = found;
            } else {
                folder_exists = false; // nothing below a missing name can match either
            }
        }
        resolved = join(resolved, name);
    }
    if (resolved.empty()) resolved = absolute ? "/" : ".";
    if (trailing_separator && resolved.back() != '/') resolved += '/';
    return resolved;
}

std::string host_path(const char* windows_path) {
    if (!windows_path || !*windows_path) return std::string();
    // Most host paths already name an existing file exactly.
    bool plain = true;
    for (const char* c = windows_path; *c; ++c) {
        if (*c == '\\') plain = false;
    }
    struct stat info;
    if (plain && ::lstat(windows_path, &info) == 0) return windows_path;
    return resolve_windows_path(std::string(), windows_path);
}

std::string collapse_dots(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= absolute.size()) {
        size_t end = absolute.find_first_of("/\\", start);
        if (end == std::string::npos) end = absolute.size();
        const std::string part = absolute.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

} // namespace ludora::kernel
