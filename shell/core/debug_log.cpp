#include "shell/core/debug_log.h"

#include <cstdarg>
#include <cstdio>

// Both programs leave the shell's own log off; kept so, as designed.
int32_t debugLogEnabled = 0;

namespace {
bool logOpened = false;
}

void LogMessage(const char* format, ...) {
    if (debugLogEnabled == 0 || !format) {
        return;
    }
    // The first message of a run empties the file; every later one appends.
    std::FILE* file = std::fopen("debug.log", logOpened ? "ab+" : "wb+");
    if (!file) {
        return;
    }
    logOpened = true;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    // Closed at once, so whatever was written survives an abrupt end.
    std::fclose(file);
}
