// Replays a seed corpus through a fuzz target, then a fixed number of
// deterministic mutations of each seed (bit flips, truncations, inserted
// bytes, overwritten size fields), so every build checks the readers against
// damaged files without libFuzzer. A crash or sanitizer report names the
// input and leaves a copy of it beside the working directory.
//
//   <target> [--runs N] [--mutate-limit BYTES] [--save PATH] SEED-FILE-OR-FOLDER...
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define LUDORA_FUZZ_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUDORA_FUZZ_SANITIZED 1
#endif
#endif
#ifdef LUDORA_FUZZ_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

// The input being run, for the crash report (read from a signal handler).
struct Current {
    const uint8_t* data = nullptr;
    size_t size = 0;
    char what[512] = {};
    char savePath[4096] = {};
};
Current g_current;

void WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n <= 0) return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

// Async-signal-safe: only open, write and close.
void SaveCurrentInput() {
    static volatile sig_atomic_t saved = 0;
    if (saved || g_current.data == nullptr) return;
    saved = 1;
    const char head[] = "\nfuzz replay: failing input: ";
    WriteAll(2, head, sizeof head - 1);
    WriteAll(2, g_current.what, strlen(g_current.what));
    const int fd = open(g_current.savePath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        WriteAll(fd, g_current.data, g_current.size);
        close(fd);
        const char to[] = "\nfuzz replay: saved to ";
        WriteAll(2, to, sizeof to - 1);
        WriteAll(2, g_current.savePath, strlen(g_current.savePath));
    }
    WriteAll(2, "\n", 1);
}

void OnFatalSignal(int signal) {
    SaveCurrentInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Values that size and count fields go wrong with.
const uint32_t kEdgeValues[] = {
    0,      1,       2,          3,          4,          7,          8,         15,     16,
    31,     32,      40,         0x7F,       0x80,       0xFF,       0x100,     0x7FFF, 0x8000,
    0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF, 0x40000000};

uint32_t Below(std::mt19937& rng, size_t bound) {
    return bound == 0 ? 0 : static_cast<uint32_t>(rng() % bound);
}

// Offsets in the first 128 bytes hold the headers of every format read here,
// so size-field overwrites favour them.
size_t FieldOffset(std::mt19937& rng, size_t size, size_t width) {
    const size_t span = size - width + 1;
    if (rng() % 4 != 0) return Below(rng, std::min<size_t>(span, 128));
    return Below(rng, span);
}

void Overwrite(Bytes& bytes, size_t at, uint32_t value, size_t width) {
    for (size_t i = 0; i < width; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes Mutate(const Bytes& seed, std::mt19937& rng) {
    Bytes bytes = seed;
    const int steps = 1 + static_cast<int>(rng() % 3);
    for (int step = 0; step < steps; ++step) {
        switch (rng() % 6) {
        case 0: // bit flips
            if (bytes.empty()) break;
            for (int n = 1 + static_cast<int>(rng() % 8); n > 0; --n)
                bytes[Below(rng, bytes.size())] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
        case 1: // truncation
            bytes.resize(Below(rng, bytes.size() + 1));
            break;
        case 2: { // inserted bytes, random or repeated
            const size_t at = Below(rng, bytes.size() + 1);
            const size_t count = 1 + rng() % 16;
            const bool repeat = rng() % 2 == 0;
            const uint8_t fill = static_cast<uint8_t>(rng());
            Bytes extra(count);
            for (uint8_t& b : extra)
                b = repeat ? fill : static_cast<uint8_t>(rng());
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(),
                         extra.end());
            break;
        }
        case 3: { // 32-bit size field
            if (bytes.size() < 4) break;
            const size_t at = FieldOffset(rng, bytes.size(), 4);
            uint32_t value = kEdgeValues[rng() % std::size(kEdgeValues)];
            if (rng() % 3 == 0) value = static_cast<uint32_t>(bytes.size() + (rng() % 9) - 4);
            Overwrite(bytes, at, value, 4);
            break;
        }
        case 4: { // 16-bit field
            if (bytes.size() < 2) break;
            const size_t at = FieldOffset(rng, bytes.size(), 2);
            Overwrite(bytes, at, kEdgeValues[rng() % std::size(kEdgeValues)], 2);
            break;
        }
        default: { // a block copied over another place (chunk and line reuse)
            if (bytes.size() < 2) break;
            const size_t from = Below(rng, bytes.size());
            const size_t count = 1 + Below(rng, std::min<size_t>(bytes.size() - from, 64));
            const size_t at = Below(rng, bytes.size() + 1);
            Bytes block(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                        bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), block.begin(),
                         block.end());
            break;
        }
        }
    }
    return bytes;
}

bool ReadFile(const std::filesystem::path& path, Bytes& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void Run(const Bytes& bytes, const std::string& what) {
    g_current.data = bytes.data();
    g_current.size = bytes.size();
    std::snprintf(g_current.what, sizeof g_current.what, "%s", what.c_str());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    g_current.data = nullptr;
}

int Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--runs N] [--mutate-limit BYTES] [--save PATH] "
                 "SEED-FILE-OR-FOLDER...\n",
                 program);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long runs = 3000;
    size_t mutateLimit = 256 * 1024; // bigger seeds run once, unmutated
    std::string save = std::filesystem::absolute(
        std::filesystem::path(argv[0]).filename().string() + ".failing-input");
    std::vector<std::filesystem::path> seeds;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::atol(argv[++i]);
        } else if (arg == "--mutate-limit" && i + 1 < argc) {
            mutateLimit = static_cast<size_t>(std::atol(argv[++i]));
        } else if (arg == "--save" && i + 1 < argc) {
            save = std::filesystem::absolute(argv[++i]);
        } else if (arg.rfind("--", 0) == 0) {
            return Usage(argv[0]);
        } else if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
                if (entry.is_regular_file())
                    seeds.push_back(std::filesystem::absolute(entry.path()));
        } else if (std::filesystem::is_regular_file(arg)) {
            seeds.push_back(std::filesystem::absolute(arg));
        } else {
            std::fprintf(stderr, "fuzz replay: no seed at %s\n", arg.c_str());
            return 1;
        }
    }
    if (seeds.empty()) return Usage(argv[0]);
    // The same order on every machine, whatever the directory listing gives.
    std::sort(seeds.begin(), seeds.end());
    std::snprintf(g_current.savePath, sizeof g_current.savePath, "%s", save.c_str());

    // A failed check traps (SIGILL) or aborts; the address sanitizer reports
    // bad accesses itself and then calls back.
    for (int signal : {SIGILL, SIGABRT})
        std::signal(signal, OnFatalSignal);
#ifdef LUDORA_FUZZ_SANITIZED
    __sanitizer_set_death_callback(SaveCurrentInput);
#else
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE})
        std::signal(signal, OnFatalSignal);
#endif

    const auto start = std::chrono::steady_clock::now();
    const long perSeed = std::max<long>(1, runs / static_cast<long>(seeds.size()));
    long done = 0;
    for (size_t s = 0; s < seeds.size(); ++s) {
        Bytes seed;
        if (!ReadFile(seeds[s], seed)) {
            std::fprintf(stderr, "fuzz replay: cannot read %s\n", seeds[s].c_str());
            return 1;
        }
        const std::string name = seeds[s].string();
        Run(seed, name);
        ++done;
        if (seed.size() > mutateLimit) continue;
        std::mt19937 rng(0x5EED0000u + static_cast<uint32_t>(s));
        for (long m = 0; m < perSeed; ++m) {
            const Bytes mutated = Mutate(seed, rng);
            Run(mutated, name + " mutation " + std::to_string(m));
            ++done;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("fuzz replay: %ld runs of %zu seeds in %.2f s\n", done, seeds.size(), seconds);
    return 0;
}
