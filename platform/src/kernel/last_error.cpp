#include <winbase.h>

namespace {
thread_local DWORD t_last_error = ERROR_SUCCESS;
}

extern "C" {

DWORD WINAPI GetLastError(void) {
    return t_last_error;
}
void WINAPI SetLastError(DWORD dwErrCode) {
    t_last_error = dwErrCode;
}
}
