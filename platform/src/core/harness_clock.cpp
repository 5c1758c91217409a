#include "ludora/harness_clock.h"

#include "core/clock.h"

void LudoraHoldClock() { ludora::clock_hold(); }
void LudoraAdvanceClock(uint32_t ms) { ludora::clock_advance_us(uint64_t(ms) * 1000); }
void LudoraReleaseClock() { ludora::clock_release(); }
uint32_t LudoraClockMs() { return ludora::clock_ms(); }
