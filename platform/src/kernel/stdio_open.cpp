// C stdio opens take Windows paths too: a program that includes windows.h and
// calls plain fopen("..\\Title\\x.bmp", "rb") must find the file as Windows
// would. The library defines fopen and its relatives; programs linked against
// it bind to these before the C library, which we forward to once the name is
// resolved with host_path.
#include "core/paths.h"

#include <cstdio>
#include <dlfcn.h>

namespace {

template <class Function> Function next_definition(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

using OpenFunction = FILE* (*)(const char*, const char*);
using ReopenFunction = FILE* (*)(const char*, const char*, FILE*);

} // namespace

extern "C" {

FILE* fopen(const char* path, const char* mode) {
    static const OpenFunction real = next_definition<OpenFunction>("fopen");
    if (!path) return real(path, mode);
    return real(ludora::host_path(path).c_str(), mode);
}

FILE* fopen64(const char* path, const char* mode) {
    static const OpenFunction real = next_definition<OpenFunction>("fopen64");
    if (!path) return real(path, mode);
    return real(ludora::host_path(path).c_str(), mode);
}

FILE* freopen(const char* path, const char* mode, FILE* stream) {
    static const ReopenFunction real = next_definition<ReopenFunction>("freopen");
    if (!path) return real(path, mode, stream); // a null path changes the mode only
    return real(ludora::host_path(path).c_str(), mode, stream);
}

FILE* freopen64(const char* path, const char* mode, FILE* stream) {
    static const ReopenFunction real = next_definition<ReopenFunction>("freopen64");
    if (!path) return real(path, mode, stream);
    return real(ludora::host_path(path).c_str(), mode, stream);
}

} // extern "C"
