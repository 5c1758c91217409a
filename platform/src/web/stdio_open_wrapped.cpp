// C stdio opens take Windows paths in the browser build too. A WebAssembly
// program is linked whole, with no dynamic linker to put our fopen before the
// C library's: the link wraps fopen and freopen instead (-Wl,--wrap, set
// where the layer is built), and every caller reaches these first. As on the
// desktop, opens that write act on the player's copy (the saves' store).
#ifdef __EMSCRIPTEN__

#include "kernel/user_store.h"

#include <cstdio>

extern "C" {

FILE* __real_fopen(const char* path, const char* mode);
FILE* __real_freopen(const char* path, const char* mode, FILE* stream);

FILE* __wrap_fopen(const char* path, const char* mode) {
    if (!path) return __real_fopen(path, mode);
    const std::string opened = ludora::kernel::path_for_stdio_open(path, mode);
    return opened.empty() ? nullptr : __real_fopen(opened.c_str(), mode);
}

FILE* __wrap_freopen(const char* path, const char* mode, FILE* stream) {
    if (!path) return __real_freopen(path, mode, stream); // a null path changes the mode only
    const std::string opened = ludora::kernel::path_for_stdio_open(path, mode);
    return opened.empty() ? nullptr : __real_freopen(opened.c_str(), mode, stream);
}

} // extern "C"

#endif
