// Global memory blocks. A movable block never actually moves: its handle is a
// small cell that points at the data, and locking hands the data out. Every
// block is registered, so freeing an unknown or already freed handle fails
// instead of corrupting the heap.
#include <winbase.h>

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace {

struct Block {
    void* data;
    SIZE_T size;
    bool moveable;
    DWORD locks;
};

struct Blocks {
    std::mutex mutex;
    std::unordered_map<void*, Block> by_handle;
};

Blocks& blocks() {
    static Blocks* instance = new Blocks;
    return *instance;
}

} // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    const size_t bytes = dwBytes ? dwBytes : 1;
    void* data = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, bytes) : std::malloc(bytes);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const bool moveable = (uFlags & GMEM_MOVEABLE) != 0;
    // A movable block's handle is a cell of its own, never equal to a data address.
    void* handle = moveable ? std::malloc(1) : data;
    if (!handle) {
        std::free(data);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(blocks().mutex);
    blocks().by_handle[handle] = Block{data, dwBytes, moveable, 0};
    return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    std::lock_guard<std::mutex> lock(blocks().mutex);
    auto it = blocks().by_handle.find(hMem);
    if (it == blocks().by_handle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (it->second.moveable) ++it->second.locks;
    return it->second.data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    std::lock_guard<std::mutex> lock(blocks().mutex);
    auto it = blocks().by_handle.find(hMem);
    if (it == blocks().by_handle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Block& block = it->second;
    if (!block.moveable || block.locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    --block.locks;
    // TRUE while still locked; FALSE with NO_ERROR once the last lock is gone.
    if (block.locks == 0) SetLastError(NO_ERROR);
    return block.locks > 0;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    if (!hMem) return nullptr;
    Block block;
    {
        std::lock_guard<std::mutex> lock(blocks().mutex);
        auto it = blocks().by_handle.find(hMem);
        if (it == blocks().by_handle.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
        block = it->second;
        blocks().by_handle.erase(it);
    }
    std::free(block.data);
    if (block.moveable) std::free(hMem);
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    std::lock_guard<std::mutex> lock(blocks().mutex);
    auto it = blocks().by_handle.find(hMem);
    if (it == blocks().by_handle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return it->second.size;
}

} // extern "C"
