// A handful of instrument voices built from sine partials and envelopes.
#pragma once

#include "audio.h"

namespace content {

enum class Voice { Bell, Pluck, Flute, Accordion, Brass, Marimba, Square, Kick, Shaker, Splash };

struct Note {
    double start = 0;    // seconds
    double duration = 0; // seconds until the release begins
    double frequency = 0;
    Voice voice = Voice::Bell;
    double amplitude = 0.3;
    double pan = 0;
    double glide = 0;  // relative pitch change over the note (-0.5 halves it)
    bool wrap = false; // the note's tail runs on into the start (for loops)
};

void play(Sound& sound, const Note& note);

} // namespace content
