#include "sounds.h"

#include "synth.h"

namespace content {

namespace {

Note tone(double start, double duration, const char* name, Voice voice, double amp,
          double pan = 0) {
    Note n;
    n.start = start, n.duration = duration, n.frequency = note_frequency(name);
    n.voice = voice, n.amplitude = amp, n.pan = pan;
    return n;
}

// A sonar ping every 0.6 seconds with a fainter echo: long enough for the widest sweep.
Sound sonar() {
    Sound s(1, 4.2);
    for (int i = 0; i < 7; ++i) {
        double t = i * 0.6;
        Note ping = tone(t, 0.05, "E6", Voice::Bell, 0.5);
        ping.glide = -0.03;
        play(s, ping);
        Note echo = tone(t + 0.22, 0.05, "E6", Voice::Bell, 0.16);
        echo.glide = -0.03;
        play(s, echo);
    }
    normalise(s, 0.7f);
    return s;
}

Sound chime(const char* a, const char* b, const char* c) {
    Sound s(1, 0.9);
    play(s, tone(0.0, 0.05, a, Voice::Bell, 0.5));
    play(s, tone(0.07, 0.05, b, Voice::Bell, 0.45));
    play(s, tone(0.14, 0.1, c, Voice::Bell, 0.4));
    normalise(s, 0.75f);
    return s;
}

Sound fanfare() {
    Sound s(1, 1.5);
    const char* notes[] = {"C5", "E5", "G5"};
    for (int i = 0; i < 3; ++i)
        play(s, tone(i * 0.11, 0.09, notes[i], Voice::Brass, 0.3));
    for (const char* n : {"C5", "E5", "G5", "C6"})
        play(s, tone(0.36, 0.7, n, Voice::Brass, 0.22));
    play(s, tone(0.36, 0.05, "C7", Voice::Bell, 0.15));
    normalise(s, 0.75f);
    return s;
}

Sound round_advance() {
    Sound s(1, 1.8);
    const char* notes[] = {"D5", "F#5", "A5", "D6", "F#6", "A6"};
    for (int i = 0; i < 6; ++i)
        play(s, tone(i * 0.08, 0.06, notes[i], Voice::Marimba, 0.4));
    for (const char* n : {"D5", "A5", "D6"})
        play(s, tone(0.5, 0.8, n, Voice::Accordion, 0.12));
    Note wave = tone(0.0, 0.6, "C4", Voice::Splash, 0.25);
    play(s, wave);
    normalise(s, 0.75f);
    return s;
}

Sound refusal() {
    Sound s(1, 0.4);
    play(s, tone(0.0, 0.09, "D3", Voice::Square, 0.4));
    play(s, tone(0.12, 0.14, "A2", Voice::Square, 0.4));
    normalise(s, 0.6f);
    return s;
}

Sound game_over() {
    Sound s(1, 2.6);
    const char* notes[] = {"A4", "G4", "F4", "E4"};
    for (int i = 0; i < 3; ++i)
        play(s, tone(i * 0.35, 0.3, notes[i], Voice::Brass, 0.3));
    Note last = tone(1.05, 1.1, "D4", Voice::Brass, 0.32);
    last.glide = -0.06;
    play(s, last);
    for (const char* n : {"D3", "A3", "F3"})
        play(s, tone(1.05, 1.1, n, Voice::Accordion, 0.1));
    normalise(s, 0.75f);
    return s;
}

Sound win() {
    Sound s(1, 3.2);
    struct {
        double t, d;
        const char* n;
    } tune[] = {{0.0, 0.12, "G4"}, {0.15, 0.12, "C5"}, {0.3, 0.12, "E5"},
                {0.45, 0.3, "G5"}, {0.8, 0.12, "E5"},  {0.95, 0.9, "G5"}};
    for (auto& n : tune)
        play(s, tone(n.t, n.d, n.n, Voice::Brass, 0.3));
    for (const char* n : {"C4", "E4", "G4", "C5"})
        play(s, tone(0.95, 1.3, n, Voice::Accordion, 0.1));
    for (int i = 0; i < 8; ++i)
        play(s, tone(1.0 + i * 0.12, 0.05, i % 2 ? "E7" : "G7", Voice::Bell, 0.08));
    normalise(s, 0.8f);
    return s;
}

Sound new_game() {
    Sound s(1, 1.6);
    play(s, tone(0.0, 0.5, "C4", Voice::Splash, 0.35));
    play(s, tone(0.1, 0.05, "G5", Voice::Bell, 0.35));
    play(s, tone(0.35, 0.05, "G5", Voice::Bell, 0.35));
    play(s, tone(0.6, 0.3, "C6", Voice::Bell, 0.4));
    normalise(s, 0.75f);
    return s;
}

} // namespace

std::vector<std::pair<std::string, Sound>> make_sound_effects() {
    return {
        {"search01.wav", sonar()},
        {"02.wav", chime("E6", "G6", "C7")},
        {"03.wav", chime("F6", "A6", "D7")},
        {"04.wav", chime("G6", "B6", "E7")},
        {"05.wav", chime("A6", "C7", "F7")},
        {"06.wav", fanfare()},
        {"09.wav", round_advance()},
        {"11.wav", refusal()},
        {"12.wav", win()},
        {"13.wav", game_over()},
        {"endlevel.wav", new_game()},
    };
}

} // namespace content
