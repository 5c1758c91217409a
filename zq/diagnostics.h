// The library's debug log and error reports ("debug.log", only when enabled).
#pragma once

#include <windows.h>

#include <stdio.h>

#include <atomic>

// The pointer's timer thread may report too (a mouse that cannot be
// re-acquired), so the switch is atomic and every line is written whole.
extern std::atomic<int> g_bDebug;
extern FILE* g_pLogFile;
extern char g_ErrorText[2048];

// printf-style line to the log; nothing when logging is off.
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// One text, followed by a line break; the text is never used as a format.
void ReportError(const char* text);
void ReportErrorF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A failing DirectDraw call: its error name, the module's source file and line.
void ReportDDError(HRESULT result, const char* module, int line);
// The DirectDraw constant name of a result, or "Unknown Error".
const char* DDErrorName(HRESULT result);

// Each module reports failures under its own source file.
#define ZQ_REPORT_DD(result) ReportDDError((result), ZQ_MODULE, __LINE__)
