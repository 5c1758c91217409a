// The program's own module. Its handle is the classic base address of a Win32
// image, the same value the entry point hands to WinMain.
#include <winbase.h>

#include <climits>
#include <cstring>
#include <unistd.h>

namespace {
HMODULE program_module() {
    return reinterpret_cast<HMODULE>(uintptr_t(0x00400000));
}
} // namespace

extern "C" {

// Only the program itself is known; the layer has no other modules to name.
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) return program_module();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule && hModule != program_module()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    // Cut to the buffer and ended, as Windows does, with the size as the result.
    if (DWORD(length) >= nSize) {
        std::memcpy(lpFilename, path, nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path, size_t(length));
    lpFilename[length] = '\0';
    SetLastError(ERROR_SUCCESS);
    return DWORD(length);
}

} // extern "C"
