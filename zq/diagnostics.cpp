#include "diagnostics.h"

#include "zq.h"

#include <stdarg.h>
#include <string.h>

std::atomic<int> g_bDebug{0};
FILE* g_pLogFile = nullptr;
char g_ErrorText[2048];

namespace {

std::atomic_flag g_LogBusy = ATOMIC_FLAG_INIT;

// Held while the report buffer and the file are written; lines are rare.
class LogGuard {
public:
    LogGuard() {
        while (g_LogBusy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~LogGuard() { g_LogBusy.clear(std::memory_order_release); }
};

} // namespace

void ZQDebugEnable(int on) {
    g_bDebug = on;
}

void ZQRegError(const char* text) {
    ReportError(text);
}

void ZQPrintError() {}

// Called with the log guard held.
static void WriteLog(const char* text) {
    if (!g_bDebug) return;
    // The first line of the process empties the file; each line is closed at
    // once so the log is complete even if the program dies.
    FILE* file = fopen("debug.log", g_pLogFile == nullptr ? "wb+" : "ab+");
    if (file == nullptr) return;
    g_pLogFile = file;
    fputs(text, file);
    fclose(file);
}

void DebugLog(const char* format, ...) {
    if (!g_bDebug) return;
    char line[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    LogGuard guard;
    WriteLog(line);
}

void ReportError(const char* text) {
    LogGuard guard;
    snprintf(g_ErrorText, sizeof g_ErrorText, "%s\n", text != nullptr ? text : "");
    WriteLog(g_ErrorText);
}

void ReportErrorF(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ReportError(text);
}

void ReportDDError(HRESULT result, const char* module, int line) {
    char text[512];
    snprintf(text, sizeof text, "DirectDraw Error %s\nin file %s at line %d", DDErrorName(result),
             module, line);
    ReportError(text);
}
