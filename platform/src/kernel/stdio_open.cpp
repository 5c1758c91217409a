// C stdio opens take Windows paths too: a program that includes windows.h and
// calls plain fopen("..\\Title\\x.bmp", "rb") must find the file as Windows
// would. The library defines fopen, fopen64, freopen and freopen64; the dynamic
// linker binds every caller in the process to these before the C library's, and
// they forward to the C library's own (found with dlsym(RTLD_NEXT)) once the
// name is resolved with host_path.
//
// What that touches, process-wide: every stdio open of every library loaded
// (SDL, FreeType, fontconfig, the C++ library's file streams, the test
// framework), not only the programs'. For them the translation is harmless but
// not free: a name that exists as spelled is passed on unchanged after one
// lstat; a name with backslashes, or one that does not exist as spelled, is
// looked up folder by folder without regard to case, so "Scores.DAT" opens an
// existing "scores.dat" and a new file is created beside it under its own
// spelling only when no such name exists. open(2) and the other POSIX calls are
// left alone. Opens that write act on the player's copy of an installed file.
#include "kernel/user_store.h"

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
    const std::string opened = ludora::kernel::path_for_stdio_open(path, mode);
    return opened.empty() ? nullptr : real(opened.c_str(), mode);
}

FILE* fopen64(const char* path, const char* mode) {
    static const OpenFunction real = next_definition<OpenFunction>("fopen64");
    if (!path) return real(path, mode);
    const std::string opened = ludora::kernel::path_for_stdio_open(path, mode);
    return opened.empty() ? nullptr : real(opened.c_str(), mode);
}

FILE* freopen(const char* path, const char* mode, FILE* stream) {
    static const ReopenFunction real = next_definition<ReopenFunction>("freopen");
    if (!path) return real(path, mode, stream); // a null path changes the mode only
    const std::string opened = ludora::kernel::path_for_stdio_open(path, mode);
    return opened.empty() ? nullptr : real(opened.c_str(), mode, stream);
}

FILE* freopen64(const char* path, const char* mode, FILE* stream) {
    static const ReopenFunction real = next_definition<ReopenFunction>("freopen64");
    if (!path) return real(path, mode, stream);
    const std::string opened = ludora::kernel::path_for_stdio_open(path, mode);
    return opened.empty() ? nullptr : real(opened.c_str(), mode, stream);
}

} // extern "C"
