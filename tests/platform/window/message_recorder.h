// A window procedure that writes down what it hears, for the window tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Heard {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

inline std::vector<Heard>& heard() {
    static std::vector<Heard> list;
    return list;
}

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    heard().push_back({message, wparam, lparam});
    if (message == WM_DESTROY) PostQuitMessage(3);
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// The messages heard, as names, leaving out the ones a test does not follow.
inline std::vector<std::string> heard_names() {
    std::vector<std::string> names;
    for (const Heard& h : heard()) {
        switch (h.message) {
        case WM_NCCREATE:
            names.push_back("NCCREATE");
            break;
        case WM_CREATE:
            names.push_back("CREATE");
            break;
        case WM_SHOWWINDOW:
            names.push_back("SHOWWINDOW");
            break;
        case WM_ACTIVATEAPP:
            names.push_back(h.wparam ? "ACTIVATEAPP 1" : "ACTIVATEAPP 0");
            break;
        case WM_ACTIVATE:
            names.push_back("ACTIVATE " + std::to_string(LOWORD(h.wparam)));
            break;
        case WM_SETFOCUS:
            names.push_back("SETFOCUS");
            break;
        case WM_KILLFOCUS:
            names.push_back("KILLFOCUS");
            break;
        case WM_SIZE:
            names.push_back("SIZE " + std::to_string(h.wparam));
            break;
        case WM_MOVE:
            names.push_back("MOVE");
            break;
        case WM_MOUSEMOVE:
            names.push_back("MOUSEMOVE");
            break;
        case WM_LBUTTONDOWN:
            names.push_back("LBUTTONDOWN");
            break;
        case WM_LBUTTONUP:
            names.push_back("LBUTTONUP");
            break;
        case WM_RBUTTONDOWN:
            names.push_back("RBUTTONDOWN");
            break;
        case WM_RBUTTONUP:
            names.push_back("RBUTTONUP");
            break;
        case WM_KEYDOWN:
            names.push_back("KEYDOWN " + std::to_string(h.wparam));
            break;
        case WM_KEYUP:
            names.push_back("KEYUP " + std::to_string(h.wparam));
            break;
        case WM_SYSKEYDOWN:
            names.push_back("SYSKEYDOWN " + std::to_string(h.wparam));
            break;
        case WM_SYSKEYUP:
            names.push_back("SYSKEYUP " + std::to_string(h.wparam));
            break;
        case WM_CHAR:
            names.push_back(std::string("CHAR ") + static_cast<char>(h.wparam));
            break;
        case WM_SYSCOMMAND:
            names.push_back("SYSCOMMAND " + std::to_string(h.wparam));
            break;
        case WM_CLOSE:
            names.push_back("CLOSE");
            break;
        case WM_DESTROY:
            names.push_back("DESTROY");
            break;
        default:
            break;
        }
    }
    return names;
}
