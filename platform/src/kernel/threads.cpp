// Threads as Windows has them: a handle that can be waited for, an id, a
// priority, and an exit code. Threads are detached POSIX threads; the handle
// keeps only the record, so closing it never stops the thread.
#include "kernel/sync_objects.h"

#include <winbase.h>

#include <climits>
#include <memory>
#include <pthread.h>

namespace ludora::kernel {

namespace {

std::atomic<DWORD> g_next_thread_id{1};
thread_local DWORD t_thread_id = 0;
// The record of a thread started by CreateThread; null on other threads.
thread_local std::shared_ptr<Thread> t_current;
// Priority of threads that have no record (the main thread).
thread_local int t_priority = THREAD_PRIORITY_NORMAL;

const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

struct StartRecord {
    std::shared_ptr<Thread> self;
    LPTHREAD_START_ROUTINE routine;
    LPVOID parameter;
};

// Marks the thread finished however it leaves: by returning, by ExitThread
// (whose unwinding runs this destructor) or by a requested termination.
class FinishOnExit {
public:
    explicit FinishOnExit(std::shared_ptr<Thread> thread) : thread_(std::move(thread)) {}
    ~FinishOnExit() {
        std::lock_guard<std::mutex> lock(sync_mutex());
        thread_->finished = true;
        notify_all_waiters();
    }
    FinishOnExit(const FinishOnExit&) = delete;
    FinishOnExit& operator=(const FinishOnExit&) = delete;

private:
    std::shared_ptr<Thread> thread_;
};

void* run_thread(void* argument) {
    std::unique_ptr<StartRecord> start(static_cast<StartRecord*>(argument));
    t_current = start->self;
    t_thread_id = start->self->id.load();
    FinishOnExit finish(start->self);
    {
        std::unique_lock<std::mutex> lock(sync_mutex());
        while (start->self->suspended && !start->self->terminate_requested) {
            sync_changed().wait(lock);
        }
        if (start->self->terminate_requested) return nullptr;
    }
    const DWORD code = start->routine(start->parameter);
    std::lock_guard<std::mutex> lock(sync_mutex());
    start->self->exit_code = code;
    return nullptr;
}

bool valid_priority(int priority) {
    return (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
           priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL;
}

} // namespace

std::mutex& sync_mutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

std::condition_variable& sync_changed() {
    static std::condition_variable* cv = new std::condition_variable;
    return *cv;
}

bool termination_requested() {
    return t_current && t_current->terminate_requested;
}

void end_thread_if_requested() {
    if (!t_current) return;
    DWORD code = 0;
    {
        std::lock_guard<std::mutex> lock(sync_mutex());
        if (!t_current->terminate_requested) return;
        code = t_current->exit_code;
    }
    ExitThread(code);
}

} // namespace ludora::kernel

using namespace ludora::kernel;

extern "C" {

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (!lpStartAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<Thread>();
    thread->id = g_next_thread_id.fetch_add(1);
    thread->suspended = (dwCreationFlags & CREATE_SUSPENDED) != 0;
    auto* start = new StartRecord{thread, lpStartAddress, lpParameter};

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (dwStackSize > 0) {
        const size_t minimum = static_cast<size_t>(PTHREAD_STACK_MIN);
        const size_t size = dwStackSize < minimum ? minimum : dwStackSize;
        pthread_attr_setstacksize(&attributes, size);
    }
    pthread_t native;
    const int result = pthread_create(&native, &attributes, run_thread, start);
    pthread_attr_destroy(&attributes);
    if (result != 0) {
        delete start;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (lpThreadId) *lpThreadId = thread->id;
    return add_handle(thread);
}

HANDLE WINAPI GetCurrentThread(void) {
    return kCurrentThreadPseudoHandle;
}

DWORD WINAPI GetCurrentThreadId(void) {
    if (t_thread_id == 0) t_thread_id = g_next_thread_id.fetch_add(1);
    return t_thread_id;
}

BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
    if (!valid_priority(nPriority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Recorded and reported back; the host scheduler runs every thread alike,
    // which the programs' threads (all blocked in waits most of the time) don't mind.
    if (hThread == kCurrentThreadPseudoHandle) {
        if (t_current) {
            t_current->priority = nPriority;
        } else {
            t_priority = nPriority;
        }
        return TRUE;
    }
    auto thread = find_handle_as<Thread>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    thread->priority = nPriority;
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE hThread) {
    if (hThread == kCurrentThreadPseudoHandle)
        return t_current ? t_current->priority.load() : t_priority;
    auto thread = find_handle_as<Thread>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    return thread->priority;
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
    auto thread = find_handle_as<Thread>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return static_cast<DWORD>(-1);
    }
    std::lock_guard<std::mutex> lock(sync_mutex());
    const DWORD previous = thread->suspended ? 1 : 0;
    thread->suspended = false;
    notify_all_waiters();
    return previous;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto thread = find_handle_as<Thread>(hThread);
    if (!thread || !lpExitCode) {
        SetLastError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(sync_mutex());
    *lpExitCode = thread->finished ? thread->exit_code : static_cast<DWORD>(STILL_ACTIVE);
    return TRUE;
}

// A thread cannot be stopped safely at an arbitrary point on this host, so the
// termination takes effect when the thread next waits or sleeps (at once if it
// is waiting now): exactly where a thread of these programs spends its time.
BOOL WINAPI TerminateThread(HANDLE hThread, DWORD dwExitCode) {
    auto thread = find_handle_as<Thread>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (thread == t_current) ExitThread(dwExitCode);
    std::lock_guard<std::mutex> lock(sync_mutex());
    if (!thread->finished && !thread->terminate_requested) {
        thread->terminate_requested = true;
        thread->exit_code = dwExitCode;
        notify_all_waiters();
    }
    return TRUE;
}

void WINAPI ExitThread(DWORD dwExitCode) {
    if (t_current) {
        std::lock_guard<std::mutex> lock(sync_mutex());
        t_current->exit_code = dwExitCode;
    }
    // Unwinds the thread's stack, running destructors; run_thread marks it finished.
    pthread_exit(nullptr);
}

} // extern "C"
