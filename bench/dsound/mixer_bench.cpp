// The mixer's cost for one second of 44100 Hz stereo output, beside a plain copy of that output.
#include <windows.h>
#include <dsound.h>
#include <ludora/harness.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kSecond = 44100;

// Voices in the formats programs use: 22050 Hz 16-bit mono, 11025 Hz 8-bit mono, 44100 Hz 16-bit
// stereo.
LPDIRECTSOUNDBUFFER make_voice(LPDIRECTSOUND ds, int kind) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kind == 2 ? 2 : 1;
    format.nSamplesPerSec = kind == 0 ? 22050 : kind == 1 ? 11025 : 44100;
    format.wBitsPerSample = kind == 1 ? 8 : 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLDEFAULT;
    desc.dwBufferBytes = format.nAvgBytesPerSec / 2;
    desc.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    if (ds->CreateSoundBuffer(&desc, &buffer, nullptr) != DS_OK) return nullptr;
    void* p = nullptr;
    DWORD n = 0;
    buffer->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    auto* bytes = static_cast<uint8_t*>(p);
    for (DWORD i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(128 + 100 * std::sin(i * 0.05));
    buffer->Unlock(p, n, nullptr, 0);
    buffer->SetVolume(-600);
    buffer->SetPan(static_cast<LONG>(kind * 1000 - 1000));
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    return buffer;
}

void BM_MixOneSecond(benchmark::State& state) {
    LudoraHoldClock();
    LPDIRECTSOUND ds = nullptr;
    if (DirectSoundCreate(nullptr, &ds, nullptr) != DS_OK) {
        state.SkipWithError("no DirectSound");
        return;
    }
    std::vector<LPDIRECTSOUNDBUFFER> voices;
    for (int v = 0; v < state.range(0); ++v)
        voices.push_back(make_voice(ds, v % 3));
    std::vector<int16_t> out(size_t{kSecond} * 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(LudoraPumpAudio(kSecond, out.data()));
        benchmark::ClobberMemory();
    }
    state.counters["audio_s_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    for (auto* voice : voices)
        voice->Release();
    ds->Release();
    LudoraReleaseClock();
}
BENCHMARK(BM_MixOneSecond)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);

void BM_CopyOneSecond(benchmark::State& state) {
    std::vector<int16_t> from(size_t{kSecond} * 2, 1);
    std::vector<int16_t> to(size_t{kSecond} * 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size() * sizeof(int16_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyOneSecond)->Unit(benchmark::kMicrosecond);

} // namespace
