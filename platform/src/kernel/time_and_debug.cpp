// The tick count, the performance counter and the debugger output.
#include "core/clock.h"
#include "core/settings.h"

#include <winbase.h>

#include <cstdio>

extern "C" {

DWORD WINAPI GetTickCount(void) {
    return ludora::clock_ms();
}

// Microseconds of layer time, so LUDORA_TIME_SCALE and the held clock apply.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) return FALSE;
    lpPerformanceCount->QuadPart = static_cast<LONGLONG>(ludora::clock_us());
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) return FALSE;
    lpFrequency->QuadPart = 1000000;
    return TRUE;
}

// There is no debugger to listen; LUDORA_DEBUG_OUTPUT=1 sends the text to stderr.
void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (!lpOutputString || ludora::settings::env("LUDORA_DEBUG_OUTPUT") != "1") return;
    std::fputs(lpOutputString, stderr);
    std::fflush(stderr);
}

} // extern "C"
