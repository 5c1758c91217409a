// Small file helpers over the handles of the file hooks: whole reads, 64-bit
// positions and the file's size, all through ReadFile and SetFilePointer.
#pragma once

#include <stdint.h>

#include <windows.h>

namespace zqsound {

// 1 when exactly `bytes` bytes arrived.
int ReadExact(HANDLE file, void* buffer, DWORD bytes);
// 1 when the file now stands at `position` from its start.
int SeekTo(HANDLE file, uint64_t position);
// The current position, or UINT64_MAX when the handle cannot tell.
uint64_t TellPosition(HANDLE file);
// The file's size in bytes (the position stays where it was), or 0.
uint64_t FileSize(HANDLE file);

} // namespace zqsound
