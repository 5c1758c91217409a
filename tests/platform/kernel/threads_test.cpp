// Threads: handles that can be waited for, exit codes, priorities, suspension,
// termination and the interlocked operations.
#include "sync_test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Shared {
    HANDLE go;
    std::atomic<int> stage{0};
    std::atomic<DWORD> id{0};
};

DWORD WINAPI wait_then_finish(LPVOID parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    shared->id = GetCurrentThreadId();
    shared->stage = 1;
    WaitForSingleObject(shared->go, INFINITE);
    shared->stage = 2;
    return 17;
}

DWORD WINAPI exit_early(LPVOID) {
    ExitThread(5);
    return 6;
}

DWORD WINAPI wait_forever(LPVOID parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    shared->stage = 1;
    WaitForSingleObject(shared->go, INFINITE);
    shared->stage = 2; // never reached: the thread is terminated in its wait
    return 0;
}

// Retries a wait that fails at once, as a thread started before its events exist does.
DWORD WINAPI retry_failing_wait(LPVOID parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    HANDLE nothing = nullptr;
    for (;;) {
        shared->stage = 1;
        if (WaitForMultipleObjects(1, &nothing, FALSE, INFINITE) != WAIT_FAILED) break;
    }
    shared->stage = 2;
    return 0;
}

LONG volatile g_counter = 0;

DWORD WINAPI count_up(LPVOID) {
    for (int i = 0; i < 10000; ++i)
        InterlockedIncrement(&g_counter);
    return 0;
}

} // namespace

TEST(Threads, RunSignalTheirHandleAndKeepTheirExitCode) {
    Shared shared;
    shared.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, wait_then_finish, &shared, 0, &id);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(eventually([&] { return shared.stage.load() == 1; }));
    EXPECT_EQ(shared.id.load(), id);
    EXPECT_NE(id, GetCurrentThreadId());

    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, DWORD(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(thread, 0), DWORD(WAIT_TIMEOUT));
    SetEvent(shared.go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 17u);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0); // stays signalled
    EXPECT_TRUE(CloseHandle(thread));
    CloseHandle(shared.go);

    HANDLE early = CreateThread(nullptr, 0, exit_early, nullptr, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(early, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(early, &code));
    EXPECT_EQ(code, 5u);
    CloseHandle(early);
}

TEST(Threads, ClosingTheHandleLeavesTheThreadRunning) {
    Shared shared;
    shared.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, wait_then_finish, &shared, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return shared.stage.load() == 1; }));
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(shared.go);
    EXPECT_TRUE(eventually([&] { return shared.stage.load() == 2; }));
    CloseHandle(shared.go);
}

TEST(Threads, StartSuspendedAndResume) {
    Shared shared;
    shared.go = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, wait_then_finish, &shared, CREATE_SUSPENDED, nullptr);
    settle();
    EXPECT_EQ(shared.stage.load(), 0);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(shared.stage.load(), 2);
    CloseHandle(thread);
    CloseHandle(shared.go);
}

TEST(Threads, TerminationEndsAThreadBlockedInAWait) {
    Shared shared;
    shared.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, wait_forever, &shared, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return shared.stage.load() == 1; }));
    EXPECT_TRUE(TerminateThread(thread, 99));
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 99u);
    EXPECT_EQ(shared.stage.load(), 1);
    CloseHandle(thread);

    Shared spinning;
    thread = CreateThread(nullptr, 0, retry_failing_wait, &spinning, 0, nullptr);
    ASSERT_TRUE(eventually([&] { return spinning.stage.load() == 1; }));
    EXPECT_TRUE(TerminateThread(thread, 3));
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 3u);
    CloseHandle(thread);
    CloseHandle(shared.go);
}

TEST(Threads, PrioritiesAreKeptPerThread) {
    Shared shared;
    shared.go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, wait_then_finish, &shared, 0, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_LOWEST);
    EXPECT_FALSE(SetThreadPriority(thread, 7));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    SetEvent(shared.go);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(shared.go);
    EXPECT_EQ(GetThreadPriority(nullptr), THREAD_PRIORITY_ERROR_RETURN);
}

TEST(Threads, LastErrorIsPerThreadAndInterlockedCountsAreExact) {
    SetLastError(1234);
    std::thread other([] {
        EXPECT_EQ(GetLastError(), 0u);
        SetLastError(42);
    });
    other.join();
    EXPECT_EQ(GetLastError(), 1234u);

    g_counter = 0;
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i)
        threads.push_back(CreateThread(nullptr, 0, count_up, nullptr, 0, nullptr));
    EXPECT_EQ(WaitForMultipleObjects(4, threads.data(), TRUE, INFINITE), WAIT_OBJECT_0);
    for (HANDLE thread : threads)
        CloseHandle(thread);
    EXPECT_EQ(g_counter, 40000);
    EXPECT_EQ(InterlockedDecrement(&g_counter), 39999);
    EXPECT_EQ(InterlockedExchange(&g_counter, 7), 39999);
    EXPECT_EQ(g_counter, 7);
}
