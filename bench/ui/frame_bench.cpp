// One frame of a screen with 20 moving sprites, 10 buttons and a text field,
// beside ZQFlip alone: the toolkit's own work should stay under a quarter of
// the frame. Runs headless on a started game shell in a folder of its own.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include <windows.h>

#include "shell/core/shell_state.h"
#include "shell/start_up.h"
#include "tests/support/picture.h"
#include "tests/support/temp_folder.h"
#include "ui/buttons/button.h"
#include "ui/buttons/button_list.h"
#include "ui/buttons/pointer.h"
#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/redraw_list.h"
#include "ui/pictures/scene.h"
#include "ui/pictures/sprite.h"
#include "ui/text/bitmap_font.h"
#include "ui/text/text_field.h"
#include "zq.h"

namespace {

using testkit::Rgb;
using testkit::WriteBmp;

constexpr int SpriteCount = 20;
constexpr int ButtonCount = 10;

class BenchScene : public Scene {
public:
    void Load() {
        Scene::Create();
        background = AddImage("background.bmp");
        SetRedrawBackground(background->surface);
        for (int i = 0; i < SpriteCount; ++i) {
            Sprite* sprite = new Sprite();
            sprite->LoadStrip("sprite.bmp", 4, 0);
            sprite->frameWidth /= 4;
            sprite->SetPosition(30 * i, 20 * i);
            sprite->velocityX = 3.0f + static_cast<float>(i % 3);
            sprite->velocityY = 2.0f;
            sprite->SetInterval(0);
            sprite->SetEndMode(SpriteLoop);
            sprite->SetPlaying(1);
            sprites[i] = sprite;
        }
        for (int i = 0; i < ButtonCount; ++i) {
            Button* button = new Button(20 + 70 * i, 540);
            button->LoadFrames("button.bmp", 3, 0);
            button->SetMarkOnDraw(1);
            AddButton(button);
        }
        font.Load("font.bmp");
        field.SetCapacity(64);
        field.AttachFont(&font);
        field.SetRect(100, 500, 300, font.height);
        field.SetText("Ann Example");
        // The first frame shows the whole background.
        const RECT whole{0, 0, 800, 600};
        ClippedBlit(g_ShellState.backSurface, 0, 0, background->surface, whole, PlainBlit);
    }

    // Everything of a frame except the presentation.
    void Work() {
        const PointerReading pointer = g_Pointer.Read();
        for (Sprite* sprite : sprites) {
            sprite->Move();
            if (sprite->x > 760) sprite->x = 0;
            if (sprite->y > 460) sprite->y = 0;
            sprite->Animate();
            sprite->DrawOnBackBuffer();
        }
        field.Draw(g_ShellState.backSurface);
        g_RedrawList.Mark(field.x, field.y, field.width, field.height,
                          RedrawOneShot | RedrawFromBackground);
        Buttons()->UpdateAll(pointer.x, pointer.y, pointer.buttons);
        Buttons()->DrawAll();
    }

    // Present without the flip: pointer, repaint lists.
    void Bookkeeping() {
        g_Pointer.DrawAndSave(g_ShellState.backSurface);
        g_Pointer.RestoreSaved(g_ShellState.backSurface);
        g_RedrawList.Flip();
        g_RedrawList.Apply(g_ShellState.backSurface);
    }

    ImageRecord* background = nullptr;
    Sprite* sprites[SpriteCount] = {};
    BitmapFont font;
    TextField field;
};

BenchScene* scene = nullptr;
std::unique_ptr<testkit::TempFolder> folder; // removed at exit

// A started game shell in a folder of pictures drawn here.
void StartShell() {
    if (scene) return;
    setenv("LUDORA_VIDEO", "headless", 0);
    setenv("LUDORA_AUDIO", "none", 1);
    folder = std::make_unique<testkit::TempFolder>("ludora-bench");
    if (!folder->Made() || chdir(folder->path.c_str()) != 0) std::abort();
    WriteBmp("background.bmp", 800, 600, [](int x, int y) {
        return Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 40};
    });
    WriteBmp("sprite.bmp", 4 * 32, 32, [](int x, int y) {
        const int cx = x % 32 - 16, cy = y - 16;
        return cx * cx + cy * cy < 200 ? Rgb{255, static_cast<uint8_t>(x * 2), 0} : Rgb{0, 0, 255};
    });
    WriteBmp("button.bmp", 3 * 60, 30, [](int x, int) {
        return Rgb{static_cast<uint8_t>(80 * (x / 60)), 200, 0};
    });
    const int glyphWidth = 6;
    WriteBmp("font.bmp", 1 + 94 * (glyphWidth + 1), 12, [](int x, int y) {
        return x % 7 == 0 || (y + x) % 5 == 0 ? Rgb{0, 0, 255} : Rgb{255, 255, 255};
    });
    SetWindowTitle(PearlwreckProgram.title);
    SetProgramName("Pearlwreck");
    if (!StartUp(PearlwreckProgram, reinterpret_cast<HINSTANCE>(0x400000), nullptr,
                 const_cast<char*>(""), SW_SHOWNORMAL)) {
        std::abort();
    }
    scene = new BenchScene();
    scene->Load();
}

void FlipAlone(benchmark::State& state) {
    StartShell();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ZQFlip());
    }
}
BENCHMARK(FlipAlone)->Unit(benchmark::kMicrosecond);

// The presentation of a frame whose every pixel changed (one full background copy first).
void FlipAfterFullCopy(benchmark::State& state) {
    StartShell();
    const RECT whole{0, 0, 800, 600};
    for (auto _ : state) {
        ClippedBlit(g_ShellState.backSurface, 0, 0, scene->background->surface, whole, PlainBlit);
        benchmark::DoNotOptimize(ZQFlip());
    }
}
BENCHMARK(FlipAfterFullCopy)->Unit(benchmark::kMicrosecond);

void WholeFrame(benchmark::State& state) {
    StartShell();
    for (auto _ : state) {
        scene->Work();
        benchmark::DoNotOptimize(scene->Present());
    }
}
BENCHMARK(WholeFrame)->Unit(benchmark::kMicrosecond);

void ToolkitWorkOnly(benchmark::State& state) {
    StartShell();
    for (auto _ : state) {
        scene->Work();
        scene->Bookkeeping();
    }
}
BENCHMARK(ToolkitWorkOnly)->Unit(benchmark::kMicrosecond);

} // namespace
