// The process entry point: hands the command line to the program's WinMain
// as Windows would, the arguments after the program name joined by spaces.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += argv[i];
    }
    // The classic base address of a Win32 program's image.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(uintptr_t(0x00400000));
    return WinMain(instance, nullptr, command_line.data(), SW_SHOWNORMAL);
}
