#include "game/score_popup.h"

#include "shell/core/shell_state.h"

namespace {

// Below this the measure is not trusted (the first frames, a stall).
constexpr float LowestTrustedFps = 10.0f;
constexpr float AssumedFps = 60.0f;
constexpr float HighestPopupY = 20.0f;

} // namespace

void ScorePopup::Move() {
    float fps = g_ShellState.lastFps;
    if (fps < LowestTrustedFps) {
        fps = AssumedFps;
        g_ShellState.lastFps = AssumedFps;
    }
    x = x + velocityX / fps;
    y = y + velocityY / fps;
    if (y < HighestPopupY) {
        y = HighestPopupY;
        velocityY = 0;
    }
}
