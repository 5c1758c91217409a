// Copying text into the fixed buffers of the programs: names, titles, paths
// and command lines are cut to fit and always end with a terminator.
#pragma once

#include <cstddef>

// Copies source into destination of size bytes, cut at size - 1 characters;
// a null source gives an empty text. Answers the number of characters copied.
size_t CopyText(char* destination, size_t size, const char* source);

// As CopyText, reading at most sourceSize bytes of a source that may lack its
// terminator (a fixed field filled to the brim).
size_t CopyField(char* destination, size_t size, const char* source, size_t sourceSize);

// printf-style into destination of size bytes, cut at size - 1 characters.
// Answers the number of characters written.
size_t FormatText(char* destination, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
