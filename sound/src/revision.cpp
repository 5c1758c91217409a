// Which build of the library this is.
#include "zqsound.h"

int ZQSound::GetLIBVersion() {
    return 1;
}

const char* ZQSound::GetLIBDate() {
#ifdef ZQSOUND_LAUNCHER_BUILD
    return "Sun Mar 18 08:22:02 2001";
#else
    return "Tue Jan  8 15:57:20 2002";
#endif
}
