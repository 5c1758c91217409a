#include <sstream>
#include <string>
#include <vector>

#include "sounds.h"
#include "synth.h"

namespace content {

namespace {

struct Arrangement {
    double step; // seconds per beat unit
    int units_per_bar;
    std::vector<std::string> melody; // one bar each: "D5:2 E5:1 -:3"
    std::vector<std::string> chords; // one bar each: root and chord tones, "D3 D4 F4 A4"
};

// Lays a melody line out on the loop; every note wraps so the tail reaches the loop's start.
void melody_line(Sound& s, const Arrangement& a, Voice voice, double amp, double pan, double octave,
                 int repeat) {
    double bar_length = a.step * a.units_per_bar;
    double t = repeat * bar_length * double(a.melody.size());
    for (const std::string& bar : a.melody) {
        std::istringstream in(bar);
        std::string token;
        double pos = 0;
        while (in >> token) {
            size_t colon = token.find(':');
            std::string name = token.substr(0, colon);
            int units = std::stoi(token.substr(colon + 1));
            if (name != "-") {
                Note n;
                n.start = t + pos * a.step;
                n.duration = units * a.step * 0.9;
                n.frequency = note_frequency(name) * octave;
                n.voice = voice, n.amplitude = amp, n.pan = pan, n.wrap = true;
                play(s, n);
            }
            pos += units;
        }
        t += bar_length;
    }
}

std::vector<std::string> split(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

} // namespace

// A shanty in D minor, 6/8: accordion chords, plucked bass, a flute tune, a shaker.
Sound make_sea_shanty() {
    Arrangement a;
    a.step = 0.2;
    a.units_per_bar = 6;
    a.melody = {
        "D5:2 D5:1 D5:2 E5:1", "E5:2 C5:1 C5:3",      "D5:2 F5:1 A5:2 F5:1",  "E5:3 A4:3",
        "D5:2 D5:1 F5:2 A5:1", "G5:2 E5:1 C5:2 E5:1", "F5:2 E5:1 D5:2 C#5:1", "D5:6",
        "A5:2 A5:1 A5:2 G5:1", "G5:2 E5:1 C5:3",      "F5:2 E5:1 D5:2 F5:1",  "E5:3 C#5:3",
        "A5:2 C6:1 A5:2 F5:1", "G5:2 E5:1 G5:2 E5:1", "D5:3 C#5:3",           "D5:4 -:2",
    };
    a.chords = {
        "D3 D4 F4 A4", "C3 C4 E4 G4", "D3 D4 F4 A4",   "A2 A3 C#4 E4",
        "D3 D4 F4 A4", "C3 C4 E4 G4", "Bb2 Bb3 D4 F4", "D3 D4 F4 A4",
        "F2 F3 A3 C4", "C3 C4 E4 G4", "D3 D4 F4 A4",   "A2 A3 C#4 E4",
        "F2 F3 A3 C4", "C3 C4 E4 G4", "A2 A3 C#4 E4",  "D3 D4 F4 A4",
    };
    const int repeats = 2;
    const double bar = a.step * a.units_per_bar;
    Sound s(2, bar * double(a.chords.size()) * repeats);
    for (int r = 0; r < repeats; ++r) {
        melody_line(s, a, Voice::Flute, 0.22, 0.15, r == 0 ? 1.0 : 1.0, r);
        if (r == 1) melody_line(s, a, Voice::Marimba, 0.12, -0.4, 0.5, r); // a second voice below
        for (size_t b = 0; b < a.chords.size(); ++b) {
            double t = (r * double(a.chords.size()) + b) * bar;
            std::vector<std::string> tones = split(a.chords[b]);
            // Bass on beats one and two of the bar, chords on the off-beats ("oom-pah-pah").
            for (int beat = 0; beat < 2; ++beat) {
                Note bass{t + beat * 3 * a.step,
                          0.5,
                          note_frequency(tones[0]) * (beat ? 1.5 : 1.0),
                          Voice::Pluck,
                          0.35,
                          -0.1,
                          0,
                          true};
                play(s, bass);
                for (int off = 1; off <= 2; ++off)
                    for (size_t k = 1; k < tones.size(); ++k) {
                        Note chord{t + (beat * 3 + off) * a.step,
                                   a.step * 0.7,
                                   note_frequency(tones[k]),
                                   Voice::Accordion,
                                   0.05,
                                   k == 1 ? -0.5 : 0.5,
                                   0,
                                   true};
                        play(s, chord);
                    }
            }
            for (int u = 0; u < 6; ++u) {
                Note shake{t + u * a.step,           0.05, 1, Voice::Shaker,
                           u % 3 == 0 ? 0.12 : 0.06, 0.4,  0, true};
                play(s, shake);
            }
        }
    }
    normalise(s, 0.7f);
    return s;
}

// A bright marimba tune in C major for the games shelf.
Sound make_shelf_tune() {
    Arrangement a;
    a.step = 60.0 / 112 / 2; // eighth notes at 112 beats a minute
    a.units_per_bar = 8;
    a.melody = {
        "E5:2 G5:2 C6:3 B5:1", "A5:2 E5:2 C5:4",      "F5:2 A5:2 C6:2 A5:2", "G5:3 F5:1 E5:2 D5:2",
        "E5:2 G5:2 C6:2 E6:2", "D6:2 C6:2 A5:4",      "F5:2 A5:2 D6:2 C6:2", "B5:4 G5:4",
        "A5:2 C6:2 A5:2 F5:2", "G5:2 B5:2 D6:4",      "E6:2 D6:2 B5:2 G5:2", "A5:4 E5:4",
        "F5:2 E5:2 D5:2 F5:2", "G5:2 A5:2 B5:2 D6:2", "C6:4 G5:2 E5:2",      "C5:6 -:2",
    };
    a.chords = {
        "C3 C4 E4 G4", "A2 A3 C4 E4", "F2 F3 A3 C4", "G2 G3 B3 D4", "C3 C4 E4 G4", "A2 A3 C4 E4",
        "D3 D4 F4 A4", "G2 G3 B3 D4", "F2 F3 A3 C4", "G2 G3 B3 D4", "E3 E4 G4 B4", "A2 A3 C4 E4",
        "D3 D4 F4 A4", "G2 G3 B3 D4", "C3 C4 E4 G4", "C3 C4 E4 G4",
    };
    const int repeats = 2;
    const double bar = a.step * a.units_per_bar;
    Sound s(2, bar * double(a.chords.size()) * repeats);
    for (int r = 0; r < repeats; ++r) {
        melody_line(s, a, Voice::Marimba, 0.3, 0.2, 1.0, r);
        if (r == 1) melody_line(s, a, Voice::Bell, 0.05, -0.3, 2.0, r);
        for (size_t b = 0; b < a.chords.size(); ++b) {
            double t = (r * double(a.chords.size()) + b) * bar;
            std::vector<std::string> tones = split(a.chords[b]);
            for (int beat = 0; beat < 4; ++beat) {
                double root = note_frequency(tones[0]) * (beat % 2 ? 1.5 : 1.0);
                Note bass{t + beat * 2 * a.step, a.step * 1.6, root, Voice::Pluck, 0.3, 0, 0, true};
                play(s, bass);
                Note kick{t + beat * 2 * a.step, 0.08, 110,  Voice::Kick,
                          beat % 2 ? 0.0 : 0.25, 0,    -0.6, true};
                if (beat % 2 == 0) play(s, kick);
                Note shake{t + (beat * 2 + 1) * a.step, 0.05, 1, Voice::Shaker, 0.07, 0.3, 0, true};
                play(s, shake);
            }
            for (size_t k = 1; k < tones.size(); ++k) {
                Note pad{t,
                         bar * 0.95,
                         note_frequency(tones[k]),
                         Voice::Accordion,
                         0.035,
                         k == 1 ? -0.6 : (k == 2 ? 0.0 : 0.6),
                         0,
                         true};
                play(s, pad);
            }
        }
    }
    normalise(s, 0.7f);
    return s;
}

} // namespace content
