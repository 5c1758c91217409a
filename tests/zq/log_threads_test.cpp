// Reports from the pointer's timer thread and the main thread at once.
#include "zq_test_support.h"

#include "diagnostics.h"
#include "zq.h"

#include <sstream>
#include <thread>

namespace {

class LogThreads : public zqtest::ZqTest {};

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
    int fromTimer = 0, fromMain = 0, lines = 0;
    for (std::string line; std::getline(log, line); ++lines) {
        fromTimer += line == "Tried to acquire mouse unsuccessfully.";
        fromMain += line.rfind("CREATE:<", 0) == 0 && line.ends_with(">main");
    }
    EXPECT_EQ(fromTimer, 200);
    EXPECT_EQ(fromMain, 200);
    EXPECT_EQ(lines, 400);
}

} // namespace
