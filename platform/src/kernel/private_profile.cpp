// Private-profile (INI) files with Windows' semantics. Every call reads the
// file afresh, so a change by another program is seen at once; every change is
// written whole through a temporary file and a rename, so nothing stored
// before is lost to a crash or a full disk. A bare file name, which Windows
// looks up in its own folder, is taken relative to the current directory here.
#include "kernel/atomic_file.h"
#include "kernel/file_attributes.h"
#include "kernel/ini_document.h"
#include "kernel/user_store.h"

#include "kernel/windows_path.h"

#include <winbase.h>

#include <cstring>
#include <mutex>

using namespace ludora::kernel;

namespace {

// One read-modify-write at a time within the process.
std::mutex& profile_mutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

bool load(LPCSTR file_name, std::string& bytes) {
    if (!file_name || !*file_name) return false;
    DWORD error = 0;
    return read_whole_file(path_for_reading(ludora::kernel::host_path(file_name)), bytes, error);
}

DWORD copy_text(const std::string& text, LPSTR buffer, DWORD size) {
    const DWORD length = text.size() < size - 1 ? static_cast<DWORD>(text.size()) : size - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

// NUL-separated names ending in an extra NUL. When they do not fit with room
// to spare, the buffer is cut to size - 2 characters and ends in two NULs.
DWORD copy_list(const std::vector<std::string>& items, LPSTR buffer, DWORD size) {
    std::string all;
    for (const std::string& item : items) {
        all += item;
        all += '\0';
    }
    if (all.size() + 2 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        if (all.empty()) buffer[1] = '\0';
        return static_cast<DWORD>(all.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// A line break in a name or value would start a new line of the file.
std::string one_line(LPCSTR text) {
    const std::string value = text;
    return value.substr(0, value.find_first_of("\r\n"));
}

} // namespace

extern "C" {

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    if (!lpReturnedString || nSize == 0) return 0;
    std::string bytes;
    bool loaded = false;
    {
        std::lock_guard<std::mutex> lock(profile_mutex());
        loaded = load(lpFileName, bytes);
    }
    if (!lpAppName || !lpKeyName) {
        if (!loaded) {
            lpReturnedString[0] = '\0';
            return 0;
        }
        const IniDocument document(bytes);
        return copy_list(lpAppName ? document.key_names(lpAppName) : document.section_names(),
                         lpReturnedString, nSize);
    }
    std::string value;
    if (loaded && IniDocument(bytes).find_value(lpAppName, lpKeyName, value)) {
        return copy_text(value, lpReturnedString, nSize);
    }
    // The default loses its trailing blanks.
    std::string fallback = lpDefault ? lpDefault : "";
    fallback.erase(fallback.find_last_not_of(' ') + 1);
    return copy_text(fallback, lpReturnedString, nSize);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                  LPCSTR lpFileName) {
    if (!lpAppName && !lpKeyName && !lpFileName) return 0;
    if (!lpAppName || !lpKeyName) return static_cast<UINT>(nDefault);
    std::string bytes;
    {
        std::lock_guard<std::mutex> lock(profile_mutex());
        if (!load(lpFileName, bytes)) return static_cast<UINT>(nDefault);
    }
    std::string value;
    if (!IniDocument(bytes).find_value(lpAppName, lpKeyName, value)) {
        return static_cast<UINT>(nDefault);
    }
    // Decimal with an optional sign, up to the first other character, modulo
    // 2^32; a value without digits is 0, not the default.
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    uint32_t result = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        result = result * 10u + static_cast<uint32_t>(value[i] - '0');
    }
    return negative ? 0u - result : result;
}

DWORD WINAPI GetPrivateProfileSectionA(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize,
                                       LPCSTR lpFileName) {
    if (!lpAppName || !lpReturnedString || nSize == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string bytes;
    {
        std::lock_guard<std::mutex> lock(profile_mutex());
        if (!load(lpFileName, bytes)) {
            lpReturnedString[0] = '\0';
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
    }
    SetLastError(ERROR_SUCCESS);
    return copy_list(IniDocument(bytes).section_lines(lpAppName), lpReturnedString, nSize);
}

DWORD WINAPI GetPrivateProfileSectionNamesA(LPSTR lpszReturnBuffer, DWORD nSize,
                                            LPCSTR lpFileName) {
    if (!lpszReturnBuffer || nSize == 0) return 0;
    std::string bytes;
    {
        std::lock_guard<std::mutex> lock(profile_mutex());
        if (!load(lpFileName, bytes)) {
            lpszReturnBuffer[0] = '\0';
            return 0;
        }
    }
    return copy_list(IniDocument(bytes).section_names(), lpszReturnBuffer, nSize);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                       LPCSTR lpFileName) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!lpAppName) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const std::string named = ludora::kernel::host_path(lpFileName);
    std::lock_guard<std::mutex> lock(profile_mutex());
    std::string bytes;
    DWORD error = 0;
    // The player's copy starts from the installed file's contents.
    const bool existed = read_whole_file(path_for_reading(named), bytes, error);
    // A file that exists but cannot be read is never replaced by a blank one.
    if (!existed && error != ERROR_FILE_NOT_FOUND) {
        SetLastError(error);
        return FALSE;
    }
    const std::string path = path_for_writing(named, false);
    if (path.empty()) return FALSE;
    // The rename would replace a read-only file; Windows refuses to write it.
    if (existed && is_read_only_file(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    IniDocument document(bytes);
    const std::string section = one_line(lpAppName);
    bool changed = false;
    if (!lpKeyName) {
        changed = document.delete_section(section);
    } else if (!lpString) {
        changed = document.delete_key(section, one_line(lpKeyName));
    } else {
        changed = document.set_value(section, one_line(lpKeyName), one_line(lpString));
    }
    if (existed && !changed) return TRUE;
    if (!replace_file_contents(path, document.bytes(), error)) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

} // extern "C"
