// ZQSound's music stream (LoadStream): a loaded file is played, mixed across
// a few segments by the fill thread, then stopped and released.
#include "fuzz_support.h"

#include <chrono>
#include <thread>

#include <ludora/harness_audio.h>
#include <ludora/harness_clock.h>

#include "zqsound.h"

namespace {

void Start() {
    static const bool started = [] {
        fuzz::ScratchFolder();
        LudoraHoldClock();
        return g_Sound.Init(nullptr, 4) == 1;
    }();
    if (!started) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Start();
    std::string name = fuzz::WriteInput("input.wav", data, size);
    if (g_Sound.LoadStream(name.data(), 3) == 1) {
        g_Sound.PlayStream(0);
        int16_t mixed[2 * 2048];
        // Four pumps of a segment and a half each: the fill thread refills and
        // meets the file's end on short files, while this thread sets the
        // volume of a stream that may be ending.
        for (int i = 0; i < 4; ++i) {
            LudoraPumpAudio(2048, mixed);
            ZQSound::SetStreamVolume(0x7FFF - i * 0x1000);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        g_Sound.StopStream();
        ZQSound::CleanupStream();
    }
    return 0;
}
