// The browser build has no MP3 decoder (libmpg123 is not built for it); the
// programs' music is WAV, and an MP3 file reads as one that cannot be played.
#ifdef __EMSCRIPTEN__

#include "mci/decoded_audio.h"

namespace ludora::mci {

DecodeResult decode_mp3(const std::string&, DecodedAudio&) {
    return DecodeResult::invalid;
}

} // namespace ludora::mci

#endif
