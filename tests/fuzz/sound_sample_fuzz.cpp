// ZQSound's WAV reader (LoadSample): a loaded sample is played, duplicated and
// mixed a little, then freed.
#include "fuzz_support.h"

#include <ludora/harness_audio.h>
#include <ludora/harness_clock.h>

#include "zqsound.h"

namespace {

void Start() {
    static const bool started = [] {
        fuzz::ScratchFolder();
        // Nothing mixes on the device's own thread: only the pumps below.
        LudoraHoldClock();
        return g_Sound.Init(nullptr, 8) == 1;
    }();
    if (!started) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Start();
    std::string name = fuzz::WriteInput("input.wav", data, size);
    if (g_Sound.LoadSample(name.data(), 7) == 1) {
        int16_t mixed[2 * 512];
        g_Sound.PlaySample(7, 100, 0);
        LudoraPumpAudio(512, mixed);
        if (SNDSample* sample = g_Sound.FindSample(7)) {
            if (SNDSample* copy = sample->DupeSample()) {
                copy->PlaySample(80, 10);
                LudoraPumpAudio(512, mixed);
                g_Sound.FreeSample(copy);
            }
        }
        g_Sound.FreeSample(7);
    }
    return 0;
}
