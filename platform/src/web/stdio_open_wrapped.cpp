// C stdio opens take Windows paths in the browser build too. A WebAssembly
// program is linked whole, with no dynamic linker to put our fopen before the
// C library's: the link wraps fopen and freopen instead (-Wl,--wrap, set
// where the layer is built), and every caller reaches these first.
#ifdef __EMSCRIPTEN__

#include "kernel/windows_path.h"

#include <cstdio>

extern "C" {

FILE* __real_fopen(const char* path, const char* mode);
FILE* __real_freopen(const char* path, const char* mode, FILE* stream);

FILE* __wrap_fopen(const char* path, const char* mode) {
    if (!path) return __real_fopen(path, mode);
    return __real_fopen(ludora::kernel::host_path(path).c_str(), mode);
}

FILE* __wrap_freopen(const char* path, const char* mode, FILE* stream) {
    if (!path) return __real_freopen(path, mode, stream); // a null path changes the mode only
    return __real_freopen(ludora::kernel::host_path(path).c_str(), mode, stream);
}

} // extern "C"

#endif
