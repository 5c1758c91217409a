#include "kernel/handle_table.h"

#include <winbase.h>

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
    // A thread's handle only names the thread: closing it leaves the thread running.
    if (!ludora::kernel::remove_handle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
