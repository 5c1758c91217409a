// A small Win32 program with a window procedure and a message loop, as the
// games are written. It writes every message it follows to the file named on
// its command line; the script given by LUDORA_SCRIPT plays the user.
#include "message_recorder.h"

#include <windows.h>

#include <cstdio>

static FILE* g_log = nullptr;

static LRESULT CALLBACK ProgramProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    heard().clear();
    heard().push_back({message, wparam, lparam});
    for (const std::string& name : heard_names()) {
        if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN)
            std::fprintf(g_log, "%s %d %d\n", name.c_str(), LOWORD(lparam), HIWORD(lparam));
        else
            std::fprintf(g_log, "%s\n", name.c_str());
    }
    switch (message) {
    case WM_KEYUP:
        if (wparam == VK_ESCAPE) PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_KEYMENU) return 0; // no system menu on Alt
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    g_log = std::fopen(command_line, "w");
    if (!g_log) return 1;
    std::fprintf(g_log, "SHOW %d\n", show);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ProgramProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "DirectX Class";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, "DirectX Class", "Scripted", 0x100B0000, 112, 84, 800, 600,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::fprintf(g_log, "QUIT %d\n", static_cast<int>(msg.wParam));
    std::fclose(g_log);
    return static_cast<int>(msg.wParam);
}
