// Reports from the pointer's timer thread and the main thread at once.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "zq.h"

#include <sstream>
#include <thread>

using zqtest::ZqTest;

namespace {

class LogThreads : public ZqTest {};

TEST_F(LogThreads, LinesFromTwoThreadsAreWrittenWhole) {
    ZQDebugEnable(1);
    std::thread timer([] {
        for (int i = 0; i < 200; ++i)
            ZQRegError("Tried to acquire mouse unsuccessfully.");
    });
    for (int i = 0; i < 200; ++i)
        DebugLog("CREATE:<%p>%s\n", static_cast<void*>(nullptr), "main");
    timer.join();

    std::istringstream log(Log());
    int fromTimer = 0, fromMain = 0, other = 0;
    for (std::string line; std::getline(log, line);) {
        if (line == "Tried to acquire mouse unsuccessfully.")
            ++fromTimer;
        else if (line.rfind("CREATE:<", 0) == 0 && line.size() > 12 &&
                 line.compare(line.size() - 5, 5, ">main") == 0)
            ++fromMain;
        else
            ++other;
    }
    EXPECT_EQ(fromTimer, 200);
    EXPECT_EQ(fromMain, 200);
    EXPECT_EQ(other, 0);
}

} // namespace
