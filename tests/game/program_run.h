// Running the staged game the way a player meets it: a copy of the staged
// folder, a headless run driven by an input script, and readers for what it
// leaves behind (shots, captured sound, files).
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace program_run {

inline std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

inline uint32_t Little(const std::vector<unsigned char>& bytes, size_t offset, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size && offset + i < bytes.size(); ++i)
        value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

// A 24-bit BMP as rows of RGB, top row first.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    bool Loaded() const { return width > 0 && height > 0; }
    const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

inline Picture ReadBmp(const std::string& path) {
    Picture picture;
    const std::vector<unsigned char> bytes = ReadFile(path);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || Little(bytes, 28, 2) != 24)
        return picture;
    const uint32_t offset = Little(bytes, 10, 4);
    const int width = static_cast<int32_t>(Little(bytes, 18, 4));
    const int rawHeight = static_cast<int32_t>(Little(bytes, 22, 4));
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    if (width <= 0 || height <= 0 || offset + stride * height > bytes.size()) return picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const int fileRow = rawHeight > 0 ? height - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            const unsigned char* bgr = &bytes[offset + fileRow * stride + x * 3];
            uint8_t* out = &picture.rgb[(static_cast<size_t>(y) * width + x) * 3];
            out[0] = bgr[2];
            out[1] = bgr[1];
            out[2] = bgr[0];
        }
    }
    return picture;
}

// Pixels of part of a picture that are not its blue key, compared with a
// place on the screen; the display keeps 5-6-5 bits of every colour.
inline int DifferentPixels(const Picture& screen, int screenX, int screenY, const Picture& source,
                           int sourceX, int sourceY, int width, int height,
                           int* compared = nullptr) {
    int different = 0, count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* s = source.At(sourceX + x, sourceY + y);
            if (s[0] == 0 && s[1] == 0 && s[2] == 255) continue;
            const uint8_t* d = screen.At(screenX + x, screenY + y);
            ++count;
            for (int c = 0; c < 3; ++c)
                if (std::abs(static_cast<int>(s[c]) - static_cast<int>(d[c])) > 8) {
                    ++different;
                    break;
                }
        }
    if (compared) *compared = count;
    return different;
}

// 16-bit PCM as one channel (stereo is summed), with its rate.
struct Sound {
    int rate = 0;
    std::vector<int16_t> samples;
};

// The samples of a 16-bit WAV file: all channels mixed, or one channel (0 left, 1 right).
inline Sound ReadWav(const std::string& path, int onlyChannel = -1) {
    Sound sound;
    const std::vector<unsigned char> bytes = ReadFile(path);
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return sound;
    int channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = Little(bytes, at + 4, 4);
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0) {
            channels = static_cast<int>(Little(bytes, at + 10, 2));
            sound.rate = static_cast<int>(Little(bytes, at + 12, 4));
            bits = static_cast<int>(Little(bytes, at + 22, 2));
        } else if (std::memcmp(&bytes[at], "data", 4) == 0 && bits == 16 && channels > 0) {
            const size_t end = std::min(bytes.size(), at + 8 + static_cast<size_t>(size));
            for (size_t i = at + 8; i + 2 * channels <= end; i += 2 * channels) {
                int sum = 0;
                for (int c = 0; c < channels; ++c)
                    if (onlyChannel < 0 || onlyChannel == c)
                        sum += static_cast<int16_t>(Little(bytes, i + 2 * c, 2));
                sound.samples.push_back(static_cast<int16_t>(std::clamp(sum, -32768, 32767)));
            }
        }
        at += 8 + size + (size & 1);
    }
    return sound;
}

// A copy of the staged folder that is removed afterwards.
class StagedCopy {
public:
    explicit StagedCopy(const std::string& dist) {
        char pattern[] = "/tmp/pearlwreck-play-XXXXXX";
        const char* made = mkdtemp(pattern);
        root = made ? made : "";
        if (!root.empty())
            std::filesystem::copy(dist, root, std::filesystem::copy_options::recursive);
    }
    ~StagedCopy() {
        std::error_code ignored;
        if (!root.empty()) std::filesystem::remove_all(root, ignored);
    }
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;

    std::string Game(const std::string& name = "") const {
        return root + "/Pearlwreck" + (name.empty() ? "" : "/" + name);
    }
    std::string Root(const std::string& name) const { return root + "/" + name; }

    void WriteText(const std::string& path, const std::string& text) const {
        std::ofstream(path) << text;
    }

    // Runs the game in its folder with the given settings; answers its exit
    // status, or -1 when it had to be stopped.
    int Run(const std::vector<std::string>& settings, const std::string& commandLine = "",
            int timeoutSeconds = 180) const {
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            const std::string text = *entry;
            if (text.rfind("LUDORA_", 0) != 0) environment.push_back(text);
        }
        for (const std::string& setting : settings)
            environment.push_back(setting);
        std::vector<char*> envp;
        for (std::string& text : environment)
            envp.push_back(text.data());
        envp.push_back(nullptr);
        const std::string program = Game("Pearlwreck");
        const std::string folder = Game();
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(folder.c_str()) != 0) _exit(126);
            char* argv[] = {const_cast<char*>(program.c_str()),
                            commandLine.empty() ? nullptr : const_cast<char*>(commandLine.c_str()),
                            nullptr};
            execve(program.c_str(), argv, envp.data());
            _exit(127);
        }
        if (child < 0) return -1;
        for (int waited = 0; waited < timeoutSeconds * 100; ++waited) {
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child)
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            usleep(10000);
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return -1;
    }

    std::string root;
};

} // namespace program_run
