// ShellExecuteA in the browser: each program is a page of the site, so
// starting one opens its page in this tab with the parameters in the
// address (the page hands them to WinMain), after the saves are stored. A
// web address opens in a new tab.
#ifdef __EMSCRIPTEN__

#include "kernel/windows_path.h"

#include <shellapi.h>
#include <winbase.h>

#include <emscripten.h>

#include <cctype>
#include <string>

namespace {

constexpr intptr_t kStarted = 42; // any value above 32 means success

HINSTANCE result(intptr_t value) {
    return reinterpret_cast<HINSTANCE>(value);
}

bool starts_with_no_case(const std::string& text, const char* prefix) {
    const std::string head = text.substr(0, std::char_traits<char>::length(prefix));
    return ludora::kernel::equal_no_case(head, prefix);
}

// "..\Pearlwreck.exe" or "C:\games\Ludora.exe" is the program "pearlwreck" or "ludora".
std::string program_name(const std::string& file) {
    std::string name = file.substr(file.find_last_of("\\/") + 1);
    if (name.size() > 4 && ludora::kernel::equal_no_case(name.substr(name.size() - 4), ".exe"))
        name.resize(name.size() - 4);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

} // namespace

extern "C" HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile,
                                          LPCSTR lpParameters, LPCSTR, INT) {
    if (lpOperation && *lpOperation && !ludora::kernel::equal_no_case(lpOperation, "open"))
        return result(SE_ERR_NOASSOC);
    if (!lpFile || !*lpFile) return result(SE_ERR_FNF);
    const std::string file = lpFile;
    if (starts_with_no_case(file, "http:") || starts_with_no_case(file, "https:")) {
        MAIN_THREAD_EM_ASM({ Module.ludoraOpenAddress(UTF8ToString($0)); }, file.c_str());
        return result(kStarted);
    }
    const std::string program = program_name(file);
    const int known = MAIN_THREAD_EM_ASM_INT(
        { return Module.ludoraOpenProgram(UTF8ToString($0), UTF8ToString($1)); }, program.c_str(),
        lpParameters ? lpParameters : "");
    return result(known ? kStarted : SE_ERR_FNF);
}

#endif
