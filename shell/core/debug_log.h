// The shell's own debug log, "debug.log" in the current folder. It stays off
// in both programs (only zq's log is ever switched on, by the launcher).
#pragma once

#include <cstdint>

extern int32_t debugLogEnabled;

// printf-style; the first message of a run empties the file, later ones append.
void LogMessage(const char* format, ...);
