#include "interleaving.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

namespace soundtest {

namespace {

std::atomic<Interleaving*> g_current{nullptr};

} // namespace

Interleaving::Interleaving() {
    g_current = this;
    zqsound::SetTestHook(Hook);
}

Interleaving::~Interleaving() {
    zqsound::SetTestHook(nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (HoldEntry& hold : holds_)
            hold.released = true;
    }
    changed_.notify_all();
    // A thread may still be on its way out of Arrive.
    std::lock_guard<std::mutex> lock(mutex_);
    g_current = nullptr;
}

void Interleaving::Hook(HookPoint point) {
    if (Interleaving* self = g_current.load()) self->Arrive(point);
}

void Interleaving::Arrive(HookPoint point) {
    DWORD thread = GetCurrentThreadId();
    std::unique_lock<std::mutex> lock(mutex_);
    arrivals_.push_back(Arrival{point, thread});
    HoldEntry* held = nullptr;
    for (HoldEntry& hold : holds_) {
        if (!hold.met && hold.point == point && hold.who.Matches(thread)) {
            hold.met = true;
            held = &hold;
            break;
        }
    }
    changed_.notify_all();
    if (!held) return;
    size_t index = held - holds_.data();
    changed_.wait_for(lock, kLimit, [&] { return holds_[index].released; });
}

void Interleaving::Hold(HookPoint point, Who who) {
    std::lock_guard<std::mutex> lock(mutex_);
    // Held threads keep their entry's index: reserve so it never moves.
    if (holds_.capacity() == 0) holds_.reserve(64);
    if (holds_.size() < holds_.capacity()) holds_.push_back(HoldEntry{point, who});
}

void Interleaving::Release(HookPoint point) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (HoldEntry& hold : holds_)
            if (hold.point == point) hold.released = true;
    }
    changed_.notify_all();
}

size_t Interleaving::Mark() {
    std::lock_guard<std::mutex> lock(mutex_);
    return arrivals_.size();
}

bool Interleaving::FoundLocked(HookPoint point, Who who, size_t since) const {
    for (size_t i = since; i < arrivals_.size(); ++i)
        if (arrivals_[i].point == point && who.Matches(arrivals_[i].thread)) return true;
    return false;
}

bool Interleaving::HasReached(HookPoint point, Who who, size_t since) {
    std::lock_guard<std::mutex> lock(mutex_);
    return FoundLocked(point, who, since);
}

bool Interleaving::Reached(HookPoint point, Who who, size_t since) {
    return ReachedAny({point}, who, since) == 0;
}

int Interleaving::ReachedAny(std::initializer_list<HookPoint> points, Who who, size_t since) {
    std::unique_lock<std::mutex> lock(mutex_);
    int found = -1;
    changed_.wait_for(lock, kLimit, [&] {
        int i = 0;
        for (HookPoint point : points) {
            if (FoundLocked(point, who, since)) {
                found = i;
                return true;
            }
            ++i;
        }
        return false;
    });
    return found;
}

DWORD Interleaving::ThreadAt(HookPoint point) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Arrival& arrival : arrivals_)
        if (arrival.point == point) return arrival.thread;
    return 0;
}

} // namespace soundtest
