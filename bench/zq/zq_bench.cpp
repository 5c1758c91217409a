// ZQLoadBitmap on an 800x600 24-bit file (system loader and own reader)
// beside reading the file's bytes alone, and ZQFlip of an 800x600 16-bit
// back buffer, windowed and full-screen. Runs on the headless driver.
#include "zq.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// The layer's driver is chosen at first use; these figures are the library's
// and the layer's work, not a display's.
const bool kHeadless = [] {
    setenv("LUDORA_VIDEO", "headless", 0);
    return true;
}();

const char kPicture[] = "zq_bench_800x600.bmp";

void WritePicture() {
    const int width = 800, height = 600;
    const uint32_t rowBytes = width * 3;
    const uint32_t imageBytes = rowBytes * height;
    std::vector<uint8_t> file(54 + imageBytes);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    file[26] = 1;
    file[28] = 24;
    put32(34, imageBytes);
    uint32_t seed = 12345;
    for (size_t i = 54; i < file.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        file[i] = static_cast<uint8_t>(seed >> 16);
    }
    std::ofstream(kPicture, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.lpszClassName = "zq bench";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "zq bench", "zq bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                           nullptr, nullptr, nullptr, nullptr);
}

// One display for the loaders; the picture is written once.
struct Display {
    Display() {
        WritePicture();
        window = MakeWindow(800, 600);
        ZQInitDirectX(window, 800, 600);
    }
    ~Display() {
        ZQFreeDirectX();
        DestroyWindow(window);
        std::filesystem::remove(kPicture);
    }
    HWND window = nullptr;
};

Display& TheDisplay() {
    static Display display;
    return display;
}

void BM_ReadFileBytesOnly(benchmark::State& state) {
    TheDisplay();
    std::vector<uint8_t> buffer(800 * 600 * 3 + 54);
    for (auto _ : state) {
        HANDLE file = CreateFileA(kPicture, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD got = 0;
        ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
        CloseHandle(file);
        benchmark::DoNotOptimize(got);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(BM_ReadFileBytesOnly)->Unit(benchmark::kMillisecond);

void BM_LoadBitmapSystemLoader(benchmark::State& state) {
    TheDisplay();
    for (auto _ : state) {
        IDirectDrawSurface* surface = ZQLoadBitmap(kPicture, 16);
        if (surface == nullptr) {
            state.SkipWithError("load failed");
            break;
        }
        surface->Release();
    }
}
BENCHMARK(BM_LoadBitmapSystemLoader)->Unit(benchmark::kMillisecond);

void BM_LoadBitmapOwnReader(benchmark::State& state) {
    TheDisplay();
    for (auto _ : state) {
        IDirectDrawSurface* surface = ZQLoadBitmap(ZQGetLPDD(), kPicture, 1);
        if (surface == nullptr) {
            state.SkipWithError("load failed");
            break;
        }
        surface->Release();
    }
}
BENCHMARK(BM_LoadBitmapOwnReader)->Unit(benchmark::kMillisecond);

void FlipFrames(benchmark::State& state) {
    for (auto _ : state) {
        if (!ZQFlip()) {
            state.SkipWithError("flip failed");
            break;
        }
    }
}

void BM_FlipWindowed800x600(benchmark::State& state) {
    HWND window = TheDisplay().window;
    if (ZQInitDirectX(window, 800, 600) != 1 || ZQGetDisplayBPP() != 16) {
        state.SkipWithError("no 16-bit windowed display");
        return;
    }
    FlipFrames(state);
}
BENCHMARK(BM_FlipWindowed800x600)->Unit(benchmark::kMicrosecond);

void BM_FlipFullScreen800x600x16(benchmark::State& state) {
    HWND window = TheDisplay().window;
    if (ZQInitDirectX(window, 800, 600, 16) != 1) {
        state.SkipWithError("no 800x600x16 mode");
        return;
    }
    FlipFrames(state);
    ZQInitDirectX(window, 800, 600);
}
BENCHMARK(BM_FlipFullScreen800x600x16)->Unit(benchmark::kMicrosecond);

} // namespace
