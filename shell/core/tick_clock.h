// The programs' sense of time: a 10 ms multimedia timer adding 10 to a
// millisecond counter. It never reads the system time.
#pragma once

#include <atomic>
#include <cstdint>

#include <windows.h>
#include <mmsystem.h>

class TickClock {
public:
    TickClock();
    virtual ~TickClock() = default;

    // 0 when started (also when the timer could not be created: time then
    // stands still), 1 when the system cannot give a 10 ms period.
    virtual int StartClock();
    virtual int StopClock();
    int32_t Now() const { return counter.load(std::memory_order_relaxed); }
    int32_t Since(int32_t earlier) const { return Now() - earlier; }
    static void CALLBACK OnTick(UINT id, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                DWORD_PTR reserved2);
    // Runs on the timer's thread after every tick (the pointer's device poll).
    void SetTickHook(void (*hook)()) { tickHook.store(hook); }

    struct TickRecord {
        std::atomic<int32_t>* counter;
        int32_t increment;
        std::atomic<void (*)()>* hook;
    };

    UINT timerId = 0;

private:
    std::atomic<int32_t> counter{0};
    std::atomic<void (*)()> tickHook{nullptr};
    TickRecord tickRecord;
};

extern TickClock g_TickClock;
