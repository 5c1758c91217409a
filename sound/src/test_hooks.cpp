// Compiled only into the tests' own build of the library.
#include "test_hooks.h"

#include <atomic>

namespace zqsound {

namespace {

std::atomic<HookFunc> g_TestHook{nullptr};

} // namespace

void SetTestHook(HookFunc func) {
    g_TestHook = func;
}

void RunTestHook(HookPoint point) {
    if (HookFunc func = g_TestHook.load()) func(point);
}

} // namespace zqsound
