// Measures of captured audio shared by the sound tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace audio_measure {

// Root mean square of the samples (0 for none).
inline double rms(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (int16_t s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// How often the signal changes sign: twice the frequency of a tone per second of it.
inline int zero_crossings(const std::vector<int16_t>& samples) {
    int count = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if ((samples[i - 1] < 0) != (samples[i] < 0)) ++count;
    }
    return count;
}

} // namespace audio_measure
