#include "shell/core/tick_clock.h"

#include "shell/core/debug_log.h"

TickClock g_TickClock;

namespace {
constexpr UINT TickPeriod = 10;
constexpr UINT TickResolution = 5;
} // namespace

TickClock::TickClock() : tickRecord{&counter, static_cast<int32_t>(TickPeriod), &tickHook} {}

int TickClock::StartClock() {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR || caps.wPeriodMin > TickPeriod ||
        caps.wPeriodMax < TickPeriod) {
        LogMessage("Unable to use timers on this system");
        return 1;
    }
    if (timeBeginPeriod(TickPeriod) != TIMERR_NOERROR) {
        return 1;
    }
    tickRecord = TickRecord{&counter, static_cast<int32_t>(TickPeriod), &tickHook};
    timerId = timeSetEvent(TickPeriod, TickResolution, &TickClock::OnTick,
                           reinterpret_cast<DWORD_PTR>(&tickRecord), TIME_PERIODIC);
    // Without a timer the program still runs; its time stands still.
    if (timerId == 0) {
        timeEndPeriod(TickPeriod);
    }
    return 0;
}

int TickClock::StopClock() {
    if (timerId != 0) {
        timeKillEvent(timerId);
        timeEndPeriod(TickPeriod);
    }
    timerId = 0;
    return 0;
}

void CALLBACK TickClock::OnTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    TickRecord* record = reinterpret_cast<TickRecord*>(user);
    if (!record) {
        return;
    }
    record->counter->fetch_add(record->increment, std::memory_order_relaxed);
    void (*hook)() = record->hook->load();
    if (hook) {
        hook();
    }
}
