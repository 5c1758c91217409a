#include "synth.h"

#include <cmath>

#include "raster.h"

namespace content {

namespace {

double release_time(Voice v) {
    switch (v) {
    case Voice::Accordion:
        return 0.15;
    case Voice::Flute:
        return 0.09;
    case Voice::Brass:
        return 0.08;
    case Voice::Bell:
        return 0.6;
    case Voice::Marimba:
        return 0.25;
    case Voice::Pluck:
        return 0.12;
    default:
        return 0.03;
    }
}

double attack_time(Voice v) {
    switch (v) {
    case Voice::Accordion:
        return 0.05;
    case Voice::Flute:
        return 0.04;
    case Voice::Brass:
        return 0.03;
    case Voice::Splash:
        return 0.02;
    default:
        return 0.003;
    }
}

} // namespace

void play(Sound& sound, const Note& n) {
    const double rel = release_time(n.voice), att = attack_time(n.voice);
    const long first = std::lround(n.start * kSampleRate);
    const long count = std::lround((n.duration + rel) * kSampleRate);
    const double f0 = n.frequency;
    double phase = 0, lowpass = 0, noise_state = 0;
    for (long k = 0; k < count; ++k) {
        double t = double(k) / kSampleRate;
        double env = t < att ? t / att : 1.0;
        if (t > n.duration) env *= std::max(0.0, 1.0 - (t - n.duration) / rel);
        double f = f0 * (1.0 + n.glide * std::min(1.0, t / std::max(n.duration, 1e-3)));
        phase += 2 * M_PI * f / kSampleRate;
        double v = 0;
        switch (n.voice) {
        case Voice::Bell: {
            static const double ratio[4] = {1, 2.76, 5.4, 8.93}, weight[4] = {1, 0.45, 0.22, 0.1};
            for (int h = 0; h < 4; ++h)
                v += weight[h] * std::sin(phase * ratio[h]) * std::exp(-t * (2.5 + 3 * h));
            break;
        }
        case Voice::Pluck:
            for (int h = 1; h <= 5; ++h)
                v += std::sin(phase * h) / (h * h * 0.6 + 0.4) * std::exp(-t * (3 + 2.5 * h));
            break;
        case Voice::Flute: {
            double vib = t > 0.15 ? 0.004 * std::sin(2 * M_PI * 5.2 * t) : 0;
            double p = phase * (1 + vib);
            v = std::sin(p) + 0.18 * std::sin(2 * p) + 0.05 * std::sin(3 * p);
            break;
        }
        case Voice::Accordion: {
            double trem = 1 + 0.08 * std::sin(2 * M_PI * 5.5 * t);
            for (int h = 1; h <= 6; ++h)
                v += std::sin(phase * h) / h;
            v += 0.5 * std::sin(phase * 1.004); // a reed tuned a touch sharp
            v *= 0.6 * trem;
            break;
        }
        case Voice::Brass: {
            double bright = std::min(1.0, 0.3 + t * 8);
            for (int h = 1; h <= 8; ++h)
                v += std::sin(phase * h) / h * std::pow(bright, h - 1);
            break;
        }
        case Voice::Marimba:
            v = std::sin(phase) * std::exp(-t * 4.5) +
                0.3 * std::sin(phase * 4) * std::exp(-t * 14);
            break;
        case Voice::Square:
            for (int h = 1; h <= 7; h += 2)
                v += std::sin(phase * h) / h;
            break;
        case Voice::Kick:
            v = std::sin(phase) * std::exp(-t * 18);
            break;
        case Voice::Shaker:
        case Voice::Splash: {
            double white = hash_noise(int(k), int(first), 77) * 2 - 1;
            lowpass += (white - lowpass) * (n.voice == Voice::Shaker ? 0.9 : 0.25);
            noise_state = n.voice == Voice::Shaker ? white - lowpass : lowpass;
            v = noise_state * std::exp(-t * (n.voice == Voice::Shaker ? 40 : 4));
            break;
        }
        }
        sound.add(first + k, float(v * env * n.amplitude), float(n.pan), n.wrap);
    }
}

} // namespace content
