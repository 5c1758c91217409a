// The C runtime's generator, global memory and the debugger output.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

TEST(CrtRand, GivesTheReferenceSequence) {
    // Before any srand the state is 1.
    EXPECT_EQ(rand(), 41);
    srand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(rand(), value);
    srand(1);
    EXPECT_EQ(std::rand(), 41); // the std:: spelling binds to the same function

    srand(12345);
    const int first = rand();
    srand(12345);
    EXPECT_EQ(rand(), first);
    EXPECT_EQ(first, int(((12345u * 214013u + 2531011u) >> 16) & 0x7FFF));
    for (int i = 0; i < 1000; ++i) {
        const int value = rand();
        EXPECT_GE(value, 0);
        EXPECT_LE(value, RAND_MAX < 0x7FFF ? RAND_MAX : 0x7FFF);
    }
}

TEST(CrtRand, TheSeedOverrideReplacesEverySeed) {
    ::setenv("LUDORA_SEED", "1", 1);
    srand(987654);
    EXPECT_EQ(rand(), 41);
    srand(static_cast<unsigned>(GetTickCount()));
    EXPECT_EQ(rand(), 41);
    ::unsetenv("LUDORA_SEED");
    srand(2);
    EXPECT_EQ(rand(), 45);
}

TEST(GlobalMemory, MoveableZeroedBlocksLockUnlockAndFree) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 1000u);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    bytes[999] = 7;
    EXPECT_EQ(GlobalLock(block), bytes); // the block never moves
    EXPECT_TRUE(GlobalUnlock(block));    // still locked once
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(block), nullptr);
    // A second free is refused, not a double free of the heap.
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalLock(block), nullptr);
}

TEST(GlobalMemory, FixedBlocksAreTheirOwnAddress) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalLock(block), block);
    std::memset(block, 0xAB, 16);
    EXPECT_EQ(GlobalSize(block), 16u);
    EXPECT_EQ(GlobalFree(block), nullptr);
    int on_stack = 0;
    EXPECT_EQ(GlobalFree(&on_stack), &on_stack);
}

TEST(DebugOutput, GoesToStandardErrorOnlyWhenAskedFor) {
    ::unsetenv("LUDORA_DEBUG_OUTPUT");
    testing::internal::CaptureStderr();
    OutputDebugStringA("quiet\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ::setenv("LUDORA_DEBUG_OUTPUT", "1", 1);
    testing::internal::CaptureStderr();
    OutputDebugStringA("IDirectInputDevice::SetDataFormat FAILED\n");
    OutputDebugStringA(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "IDirectInputDevice::SetDataFormat FAILED\n");
    ::unsetenv("LUDORA_DEBUG_OUTPUT");
}

TEST(KernelStrings, CopyCompareAndScale) {
    char buffer[8];
    EXPECT_STREQ(lstrcpynA(buffer, "Pearlwreck", sizeof buffer), "Pearlwr");
    EXPECT_EQ(lstrlenA(buffer), 7);
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrcmpiA("Music", "MUSIC"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    EXPECT_GT(lstrcmpA("b", "a"), 0);

    EXPECT_EQ(MulDiv(65535, 100, 65535), 100);
    EXPECT_EQ(MulDiv(3, 1, 2), 2); // halves round away from zero
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(0x40000000, 8, 2), -1); // does not fit
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(Modules, TheProgramItselfIsTheOnlyModule) {
    EXPECT_EQ(GetModuleHandleA(nullptr), reinterpret_cast<HMODULE>(uintptr_t(0x00400000)));
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_NE(std::string(path).find("kernel_runtime_test"), std::string::npos);
    char small[4];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 4u);
    EXPECT_EQ(std::strlen(small), 3u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}
