// The POSIX helpers the test kit uses, in their Windows form.
#pragma once

#if defined(_WIN32)
#include <direct.h>
#include <stdlib.h>
#include <string.h>

// Replaces the trailing XXXXXX of pattern and makes the folder; null on failure.
inline char* mkdtemp(char* pattern) {
    if (_mktemp_s(pattern, strlen(pattern) + 1) != 0) {
        return nullptr;
    }
    return _mkdir(pattern) == 0 ? pattern : nullptr;
}

// POSIX's mkdir takes the folder's permissions; Windows has none to give.
inline int mkdir(const char* path, int) {
    return _mkdir(path);
}
#endif
