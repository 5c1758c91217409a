#include "shell/start_up.h"

#include <cstdlib>
#include <ctime>

#include "shell/core/message_pump.h"
#include "shell/core/shell_state.h"
#include "shell/core/tick_clock.h"
#include "shell/music.h"
#include "shell/sound_bank.h"
#include "ui/buttons/pointer.h"
#include "ui/keys/key_queue.h"
#include "zq.h"

const ProgramDescription PearlwreckProgram{"Pearl Wreck", "Pearlwreck", false, "..\\options.ini"};
// The launcher's title screen writes its switches to the options file in its
// own folder, so that is where it reads them at start-up.
const ProgramDescription LudoraProgram{"TovikGames Ludora", nullptr, true, ".\\options.ini"};

namespace {

const char* const SetupPath = ".\\setup.ini";
const char* const WindowClassName = "DirectX Class";
const char* const HighColourMessage =
    "TovikGames need the desktop display set to High Color (16 bits or higher).";
const char* const DirectXMessage =
    "DirectX not installed. Program needs DirectX 5 or higher to run";

const ProgramDescription* program = &PearlwreckProgram;
DirectDrawProbe directDrawProbe = nullptr;

// A number of ".\\setup.ini", read as text and converted with atoi.
int ReadSetupNumber(const char* key, const char* fallback) {
    char value[32] = {};
    GetPrivateProfileStringA("setup", key, fallback, value, sizeof value, SetupPath);
    return std::atoi(value);
}

void ShowStartUpFailure(const char* text) {
    MessageBoxA(nullptr, text, nullptr, MB_ICONHAND | MB_OK);
}

void FeedKeyQueue() {
    g_KeyQueue.FeedFromKeyboard(ZQGetKeys());
}

int InitDisplay() {
    HWND window = g_ShellState.window;
    if (g_ShellState.fullScreen) {
        return ZQInitDirectX(window, 800, 600, 16);
    }
    // The launcher's display is two pixels narrower than its client area.
    const int width = program->isLauncher ? g_ShellState.clientWidth - 2 : g_ShellState.clientWidth;
    return ZQInitDirectX(window, width, g_ShellState.clientHeight);
}

void ClearBackSurface() {
    if (!g_ShellState.backSurface) {
        return;
    }
    DDBLTFX effects{};
    effects.dwSize = sizeof effects;
    effects.dwFillColor = 0;
    g_ShellState.backSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT,
                                  &effects);
}

} // namespace

const ProgramDescription& CurrentProgram() {
    return *program;
}

void SetDirectDrawProbe(DirectDrawProbe probe) {
    directDrawProbe = probe;
}

void FillWindowClass(WNDCLASSA& windowClass) {
    windowClass = WNDCLASSA{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = g_ShellState.instance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = WindowClassName;
}

int RegisterWindowClass() {
    WNDCLASSA windowClass;
    FillWindowClass(windowClass);
    return RegisterClassA(&windowClass) != 0 ? 1 : 0;
}

int CreateMainWindow() {
    ShellState& state = g_ShellState;
    // The default place centres an 800 x 600 window, whatever size is asked for.
    state.windowX = GetSystemMetrics(SM_CXSCREEN) / 2 - 400;
    state.windowY = GetSystemMetrics(SM_CYSCREEN) / 2 - 300;
    state.windowWidth = 800;
    state.windowHeight = 600;
    if (!program->isLauncher) {
        const int x = ReadSetupNumber("x", "-1");
        const int y = ReadSetupNumber("y", "-1");
        const int w = ReadSetupNumber("w", "-1");
        const int h = ReadSetupNumber("h", "-1");
        if (x != -1) state.windowX = x;
        if (y != -1) state.windowY = y;
        if (w != -1) state.windowWidth = w;
        if (h != -1) state.windowHeight = h;
    }
    const int width = program->isLauncher ? 800 : state.windowWidth;
    const int height = program->isLauncher ? 600 : state.windowHeight;

    HWND window = nullptr;
    if (ReadSetupNumber("nowindow", "0") == 1) {
        window = CreateWindowExA(0, WindowClassName, nullptr, WS_POPUP | WS_VISIBLE, state.windowX,
                                 state.windowY, width, height, nullptr, nullptr, state.instance,
                                 nullptr);
    } else if (state.fullScreen) {
        window =
            CreateWindowExA(0, WindowClassName, state.title, WS_POPUP, state.windowX, state.windowY,
                            800, 600, nullptr, nullptr, state.instance, nullptr);
    } else {
        window = CreateWindowExA(
            0, WindowClassName, state.title,
            WS_OVERLAPPED | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
            state.windowX, state.windowY, width, height, nullptr, nullptr, state.instance, nullptr);
    }
    state.window = window;
    if (!program->isLauncher && ReadSetupNumber("ontop", "0") != 0) {
        SetWindowPos(window, HWND_TOPMOST, state.windowX, state.windowY, state.windowWidth,
                     state.windowHeight, SWP_SHOWWINDOW);
    }
    if (!window) {
        return 0;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    state.clientWidth = client.right;
    state.clientHeight = client.bottom;
    return 1;
}

bool StartUp(const ProgramDescription& description, HINSTANCE instance, HINSTANCE, LPSTR, int) {
    program = &description;
    ShellState& state = g_ShellState;
    // Every message taken feeds the key queue; every tick lets the pointer poll.
    SetMessageTakenHook(FeedKeyQueue);
    g_TickClock.SetTickHook(PollPointerDevice);

    state.fullScreen = ReadSetupNumber("fullscreen", "0") == 1;

    HDC screen = GetDC(nullptr);
    const int bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (bitsPerPixel < 15) {
        ShowStartUpFailure(HighColourMessage);
        return false;
    }

    IDirectDraw* probe = nullptr;
    const DirectDrawProbe create = directDrawProbe ? directDrawProbe : DirectDrawCreate;
    if (create(nullptr, &probe, nullptr) != DD_OK) {
        ShowStartUpFailure(DirectXMessage);
        return false;
    }
    if (probe) {
        probe->Release();
    }

    state.instance = instance;
    ZQSetInstance(instance);
    if (!RegisterWindowClass()) {
        return false;
    }
    if (!CreateMainWindow()) {
        return false;
    }
    if (program->isLauncher) {
        ZQDebugEnable(1);
    }
    if (!InitDisplay()) {
        ZQPrintError();
        return false;
    }
    state.directDraw = ZQGetLPDD();
    ZQGetDDInfo(&state.primarySurface, &state.backSurface);
    ClearBackSurface();
    ZQSetInstance(instance);
    ZQInitMouse();
    // Not checked: without a clock the program runs, but its time stands still.
    g_TickClock.StartClock();

    // Without a sound device the engine does not start and the program runs silently.
    g_SoundBank.Init(state.window, 200);
    StartMusic(state.window, program->optionsPath);

    // The system arrow is what the user sees; the pointer only keeps the
    // position and buttons the window procedure gives it.
    g_Pointer.SetImage(nullptr);
    g_Pointer.SelectImage(0);
    g_Pointer.Hide();
    g_Pointer.SetDoubleBuffered(0);
    g_Pointer.messagesOnly = 1;
    POINT cursor{};
    GetCursorPos(&cursor);
    g_Pointer.SetPosition(cursor.x, cursor.y);

    ZQAcquireMouse(1);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    ZQInitFont(state.window);
    ZQInitKeyboard();
    ShowPicture(".\\Title\\TovikSplash.bmp");
    // Closed during the splash: everything is shut down already, and the
    // scenes must not start on the released display.
    if (!IsWindow(state.window)) {
        return false;
    }
    return true;
}
