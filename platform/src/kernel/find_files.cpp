// Directory searches. Entries come in the order an NTFS folder lists them,
// "." and ".." first and then by name without regard to case, so the launcher
// finds its games in the same order on every machine.
#include "kernel/file_attributes.h"
#include "kernel/handle_table.h"
#include "kernel/host_errors.h"
#include "kernel/user_store.h"
#include "kernel/wildcard.h"

#include "kernel/windows_path.h"

#include <winbase.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace ludora::kernel;

namespace {

class Search final : public KernelObject {
public:
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};

FILETIME file_time(const struct timespec& time) {
    // 100-nanosecond steps since 1601-01-01.
    const uint64_t ticks =
        (uint64_t(time.tv_sec) + 11644473600ull) * 10000000ull + uint64_t(time.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

bool less_no_case(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) <
               std::toupper(static_cast<unsigned char>(y));
    });
}

bool describe(const std::string& folder, const std::string& name, WIN32_FIND_DATAA& data) {
    const std::string path = folder + "/" + name;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return false; // dangling link
    if (name.size() >= MAX_PATH) return false;          // Windows could not name it either
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = file_attributes(path, name, info);
    data.ftCreationTime = file_time(info.st_mtim);
    data.ftLastAccessTime = file_time(info.st_atim);
    data.ftLastWriteTime = file_time(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        data.nFileSizeHigh = static_cast<DWORD>(uint64_t(info.st_size) >> 32);
        data.nFileSizeLow = static_cast<DWORD>(uint64_t(info.st_size) & 0xFFFFFFFF);
    }
    std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
    return true;
}

} // namespace

extern "C" {

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (!lpFileName || !*lpFileName || !lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string text = lpFileName;
    const size_t split = text.find_last_of("/\\");
    const std::string pattern = split == std::string::npos ? text : text.substr(split + 1);
    std::string folder_text = split == std::string::npos ? "." : text.substr(0, split + 1);
    const std::string folder = ludora::kernel::host_path(folder_text.c_str());
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }

    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                         : win32_error_from_errno(errno, folder));
        return INVALID_HANDLE_VALUE;
    }
    // Each name with the folder it is described from: the player's copy of an
    // installed folder lists its own files over the installed ones.
    std::vector<std::pair<std::string, std::string>> names;
    auto add_entries = [&](DIR* listing, const std::string& from, bool over) {
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || !wildcard_match(pattern, name)) continue;
            auto same = over ? std::find_if(names.begin(), names.end(),
                                            [&](const auto& seen) {
                                                return equal_no_case(seen.first, name);
                                            })
                             : names.end();
            if (same == names.end()) {
                names.emplace_back(name, from);
            } else {
                *same = {name, from};
            }
        }
        ::closedir(listing);
    };
    add_entries(dir, folder, false);
    const std::string stored = stored_folder(folder);
    if (!stored.empty()) {
        if (DIR* own = ::opendir(stored.c_str())) add_entries(own, stored, true);
    }
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return less_no_case(a.first, b.first); });
    // The root of the file system has no "." or ".." entries on Windows.
    if (folder != "/") {
        if (wildcard_match(pattern, "..")) names.insert(names.begin(), {"..", folder});
        if (wildcard_match(pattern, ".")) names.insert(names.begin(), {".", folder});
    }

    auto search = std::make_shared<Search>();
    for (const auto& [name, from] : names) {
        WIN32_FIND_DATAA data;
        if (describe(from, name, data)) search->entries.push_back(data);
    }
    if (search->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *lpFindFileData = search->entries[0];
    search->next = 1;
    SetLastError(ERROR_SUCCESS);
    return add_handle(search);
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    auto search = find_handle_as<Search>(hFindFile);
    if (!search || !lpFindFileData) {
        SetLastError(search ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (search->next >= search->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *lpFindFileData = search->entries[search->next++];
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    if (!find_handle_as<Search>(hFindFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    remove_handle(hFindFile);
    return TRUE;
}

} // extern "C"
