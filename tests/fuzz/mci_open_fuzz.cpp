// The MCI music decoders behind "open" (WAV and, for anything else, MP3): an
// opened file is asked its length, played, mixed, sought and closed.
#include "fuzz_support.h"

#include <windows.h>
#include <ludora/harness_audio.h>
#include <ludora/harness_clock.h>

namespace {

MCIERROR Send(const char* command) {
    char reply[128];
    return mciSendStringA(command, reply, sizeof reply, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool held = [] {
        fuzz::ScratchFolder();
        LudoraHoldClock();
        return true;
    }();
    (void)held;
    fuzz::WriteInput("input.snd", data, size);
    if (Send("open \".\\input.snd\" type mpegvideo alias music") == 0) {
        Send("status music length");
        Send("play music");
        int16_t mixed[2 * 1024];
        LudoraPumpAudio(1024, mixed);
        Send("seek music to end");
        Send("play music");
        LudoraPumpAudio(1024, mixed);
        Send("close music");
    }
    return 0;
}
