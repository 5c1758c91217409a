// C stdio opens take Windows paths in the browser build too. A WebAssembly
// program is linked whole, with no dynamic linker to put our fopen before the
// C library's: the link wraps fopen and freopen instead (-Wl,--wrap, set
// where the layer is built), and every caller reaches these first. As on the
// desktop, opens that write act on the player's copy (the saves' store).
#ifdef __EMSCRIPTEN__

#include "kernel/user_store.h"
#include "kernel/windows_path.h"

#include <cstdio>
#include <cstring>

namespace {

// The file an open acts on; empty when it would write and saves cannot be kept.
std::string opened_path(const char* path, const char* mode) {
    const std::string named = ludora::kernel::host_path(path);
    if (!mode || !std::strpbrk(mode, "wa+")) return ludora::kernel::path_for_reading(named);
    const bool keeps_contents = mode[0] == 'a' || mode[0] == 'r';
    return ludora::kernel::path_for_writing(named, keeps_contents);
}

} // namespace

extern "C" {

FILE* __real_fopen(const char* path, const char* mode);
FILE* __real_freopen(const char* path, const char* mode, FILE* stream);

FILE* __wrap_fopen(const char* path, const char* mode) {
    if (!path) return __real_fopen(path, mode);
    const std::string opened = opened_path(path, mode);
    return opened.empty() ? nullptr : __real_fopen(opened.c_str(), mode);
}

FILE* __wrap_freopen(const char* path, const char* mode, FILE* stream) {
    if (!path) return __real_freopen(path, mode, stream); // a null path changes the mode only
    const std::string opened = opened_path(path, mode);
    return opened.empty() ? nullptr : __real_freopen(opened.c_str(), mode, stream);
}

} // extern "C"

#endif
