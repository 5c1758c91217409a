// Message boxes: a real box when the driver has a display, otherwise caption
// and text on stderr; LUDORA_MESSAGE_LOG keeps a line per box for tests.
#include "core/settings.h"
#include "window/driver.h"
#include "window/message_box_buttons.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// One line per box: line breaks inside the text are written as "\n".
std::string one_line(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n')
            out += "\\n";
        else if (*p != '\r')
            out += *p;
    }
    return out;
}

} // namespace

extern "C" int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    // Windows' default caption.
    if (!caption) caption = "Error";
    if (!text) text = "";
    const std::string log = ludora::settings::message_log();
    if (!log.empty()) {
        if (FILE* file = std::fopen(log.c_str(), "a")) {
            std::fprintf(file, "%s|%s\n", one_line(caption).c_str(), one_line(text).c_str());
            std::fclose(file);
        }
    }
    if (const int answer = ludora::window::driver().message_box(caption, text, type)) return answer;
    std::fprintf(stderr, "%s: %s\n", caption, text);
    // Without anyone to click, the box answers with its default button.
    return ludora::window::message_box_buttons(type).default_id();
}

extern "C" BOOL WINAPI MessageBeep(UINT) {
    return TRUE;
}
