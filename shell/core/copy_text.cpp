#include "shell/core/copy_text.h"

#include <cstdarg>
#include <cstdio>

size_t CopyField(char* destination, size_t size, const char* source, size_t sourceSize) {
    if (!destination || size == 0) {
        return 0;
    }
    size_t length = 0;
    if (source) {
        while (length + 1 < size && length < sourceSize && source[length] != '\0') {
            destination[length] = source[length];
            ++length;
        }
    }
    destination[length] = '\0';
    return length;
}

size_t CopyText(char* destination, size_t size, const char* source) {
    return CopyField(destination, size, source, static_cast<size_t>(-1));
}

size_t FormatText(char* destination, size_t size, const char* format, ...) {
    if (!destination || size == 0) {
        return 0;
    }
    destination[0] = '\0';
    if (!format) {
        return 0;
    }
    va_list arguments;
    va_start(arguments, format);
    const int wanted = std::vsnprintf(destination, size, format, arguments);
    va_end(arguments);
    if (wanted < 0) {
        destination[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(wanted) < size ? static_cast<size_t>(wanted) : size - 1;
}
