// A Win32 program built against an installed layer: a window, a message loop,
// and the exit code of WM_QUIT (the length of its command line, plus 40).
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(static_cast<int>(wparam));
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.lpszClassName = "Installed Class";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, "Installed Class", "Installed", WS_OVERLAPPEDWINDOW, 0, 0, 320,
                                  240, nullptr, nullptr, instance, nullptr);
    if (!window) return 2;
    ShowWindow(window, show);
    SendMessageA(window, WM_DESTROY, 40 + std::strlen(command_line), 0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return static_cast<int>(msg.wParam);
}
