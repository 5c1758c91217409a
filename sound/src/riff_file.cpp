#include "riff_file.h"

namespace zqsound {

int ReadExact(HANDLE file, void* buffer, DWORD bytes) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, bytes, &got, nullptr)) return 0;
    return got == bytes;
}

static uint64_t MoveFilePointer(HANDLE file, int64_t distance, DWORD method) {
    LONG high = (LONG)(distance >> 32);
    SetLastError(0);
    DWORD low = SetFilePointer(file, (LONG)(uint32_t)distance, &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != 0) return UINT64_MAX;
    return ((uint64_t)(uint32_t)high << 32) | low;
}

int SeekTo(HANDLE file, uint64_t position) {
    if (position > (uint64_t)INT64_MAX) return 0;
    return MoveFilePointer(file, (int64_t)position, FILE_BEGIN) == position;
}

uint64_t TellPosition(HANDLE file) {
    return MoveFilePointer(file, 0, FILE_CURRENT);
}

uint64_t FileSize(HANDLE file) {
    uint64_t here = TellPosition(file);
    if (here == UINT64_MAX) return 0;
    uint64_t size = MoveFilePointer(file, 0, FILE_END);
    if (!SeekTo(file, here) || size == UINT64_MAX) return 0;
    return size;
}

} // namespace zqsound
