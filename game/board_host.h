// What the board and its rules ask of the game around them: the frame clock,
// sounds, presenting a frame, the surface the chart is painted on, and the
// turn-bonus and floating value pictures.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

class BoardHost {
public:
    virtual ~BoardHost() = default;

    virtual int32_t Now() = 0; // the frame clock, in milliseconds
    virtual void Sleep(int32_t milliseconds) = 0;
    virtual void PlaySound(const char* soundName) = 0;
    virtual void StopSound(const char* soundName) = 0;
    virtual void PresentFrame() = 0;
    // The live background that the chart is painted into.
    virtual IDirectDrawSurface* BoardSurface() = 0;
    // Makes the picture of this bonus (3, 6, 9, 12 or 15) the visible one.
    virtual void ShowTurnBonusPicture(int32_t bonus) = 0;
    virtual void AddScorePopup(int32_t index, int32_t level) = 0;
};
