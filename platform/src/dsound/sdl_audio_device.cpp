// The mixer on SDL's audio callback.
#include "dsound/audio_device.h"
#include "dsound/mixer.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <dlfcn.h>

namespace ludora::audio {
namespace {

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(Mixer& mixer) : mixer_(mixer) {}

    ~SdlAudioDevice() override {
        close();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open() {
        const OutputFormat format = mixer_.format();
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format.rate);
        want.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        want.channels = static_cast<Uint8>(format.channels);
        want.samples = kDevicePeriodFrames;
        want.callback = &SdlAudioDevice::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // SDL converts from our format to the device's.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) return false;
        format_ = format;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void format_changed() override {
        if (mixer_.format() == format_) return;
        close();
        open();
    }

private:
    void close() {
        if (device_ == 0) return;
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }

    static void SDLCALL callback(void* userdata, Uint8* stream, int length) {
        auto* self = static_cast<SdlAudioDevice*>(userdata);
        const uint32_t align = self->format_.block_align();
        const uint32_t frames = static_cast<uint32_t>(length) / align;
        if (frames * align != static_cast<uint32_t>(length))
            SDL_memset(stream, 0, static_cast<size_t>(length));
        // A format change in flight is caught by format_changed; until then mix silence.
        if (!(self->mixer_.format() == self->format_)) {
            SDL_memset(stream, self->format_.bits == 8 ? 0x80 : 0, static_cast<size_t>(length));
            return;
        }
        self->mixer_.render(stream, frames);
    }

    Mixer& mixer_;
    SDL_AudioDeviceID device_ = 0;
    OutputFormat format_;
};

void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}

// ALSA, which SDL tries, complains on stderr in a dozen lines when there is
// no device; the player hears about it in one line of ours instead. ALSA
// comes in with SDL; the layer does not link it itself.
void quiet_alsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")))
        set(&ignore_alsa_error);
}

std::unique_ptr<AudioDevice> open_quietly(Mixer& mixer) {
    quiet_alsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    auto device = std::make_unique<SdlAudioDevice>(mixer);
    if (!device->open()) return nullptr; // the destructor quits the subsystem again
    return device;
}

} // namespace

std::unique_ptr<AudioDevice> open_sdl_audio_device(Mixer& mixer) {
    auto device = open_quietly(mixer);
    // The device is opened on a thread of the layer's, not SDL's: what SDL
    // keeps for the thread (its error text) goes now, before the thread ends.
    SDL_TLSCleanup();
    static std::atomic<bool> told{false};
    if (!device && !told.exchange(true)) {
        std::fprintf(stderr, "ludora: no sound device, running silently\n");
    }
    return device;
}

} // namespace ludora::audio
