// The process entry point: hands the command line to the program's WinMain
// as Windows would, the arguments after the program name joined by spaces.
#include <windows.h>

#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#if defined(__GLIBC__)
    // Pictures of a screen are loaded when it opens and freed when it closes.
    // glibc would raise its threshold for taking memory straight from the
    // system after the first such free and keep later pictures in its heap,
    // so a long session would hold on to its largest screen's memory; a fixed
    // threshold hands every large picture back when it is freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += argv[i];
    }
    // The classic base address of a Win32 program's image.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(uintptr_t(0x00400000));
    return WinMain(instance, nullptr, command_line.data(), SW_SHOWNORMAL);
}
