// The timed input script (LUDORA_SCRIPT): a damaged script is loaded and run
// to its end against a window, on a held clock. The first input comes in as
// the LUDORA_SCRIPT file, the rest through LudoraRunScript.
#include "fuzz_support.h"

#include <windows.h>
#include <ludora/harness.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// Screenshots stay in the scratch folder: a "shot" naming a path elsewhere is
// turned into one of a plain file name.
std::string Confined(const std::string& text) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        const size_t verb = line.find_first_not_of(" \t\r");
        if (verb != std::string::npos && line.compare(verb, 4, "shot") == 0 &&
            line.find_first_of("/\\:", verb) != std::string::npos)
            line = "shot shot.bmp";
        out += line;
        if (end < text.size()) out += '\n';
        at = end + 1;
    }
    return out;
}

HWND MakeWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "script fuzz";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "script fuzz", "script fuzz", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                           320, 200, nullptr, nullptr, nullptr, nullptr);
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool first = true;
    fuzz::ScratchFolder();
    LudoraResetWindows();
    LudoraHoldClock();
    // The text a script holds ends at its first NUL when given as a string.
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string text = Confined(raw);
    if (MakeWindow() == nullptr) __builtin_trap();
    if (first) {
        first = false;
        fuzz::WriteInput("input.script", reinterpret_cast<const uint8_t*>(text.data()),
                         text.size());
        setenv("LUDORA_SCRIPT", "input.script", 1);
        Pump(); // the first pump reads the file
    } else {
        LudoraRunScript(text.c_str());
    }
    // One step of the clock past the longest wait per line is always enough.
    const size_t lines = 2 + static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    for (size_t i = 0; i < lines && !LudoraScriptDone(); ++i) {
        Pump();
        LudoraAdvanceClock(1000000000u);
    }
    Pump();
    if (!LudoraScriptDone()) __builtin_trap();
    LudoraReleaseClock();
    LudoraResetWindows();
    return 0;
}
