// Holding and moving the layer's clock by hand.
#pragma once

#include <stdint.h>

// Every clock of the layer (timeGetTime, GetTickCount, Sleep, time-outs, the
// multimedia timer, the script, the headless mixer) stops where it is.
void LudoraHoldClock();
// Moves the clock forward by `ms` milliseconds (held or not).
void LudoraAdvanceClock(uint32_t ms);
// Lets the clock run again from where it stands.
void LudoraReleaseClock();
// The layer's time in milliseconds.
uint32_t LudoraClockMs();
