// How the library opens and closes its sound files; a program may install
// its own hooks, for example to read from an archive.
#include "zqsound.h"

ZQOpenFileFunc ZQSound::g_pOpenFile = ZQSound::DefaultOpenFile;
ZQCloseFileFunc ZQSound::g_pCloseFile = ZQSound::DefaultCloseFile;

HANDLE ZQSound::DefaultOpenFile(char* fileName) {
    return CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int ZQSound::DefaultCloseFile(HANDLE file) {
    return CloseHandle(file);
}

void ZQSound::SetFileOpenFunc(ZQOpenFileFunc func) {
    g_pOpenFile = func ? func : DefaultOpenFile;
}

void ZQSound::SetFileCloseFunc(ZQCloseFileFunc func) {
    g_pCloseFile = func ? func : DefaultCloseFile;
}
