// scripts/site-ensure, which ./scripts/play runs: it starts the site in the
// background when nothing answers, leaves a running one alone, and stops the
// one it started.
#include "site_fixture.h"

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace sitetest;

namespace {

// A loopback port that was free a moment ago.
int free_port() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

class SiteEnsureTest : public ::testing::Test {
protected:
    void TearDown() override { run("--stop"); }

    // Runs the script; its output, and its exit code in status.
    std::string run(const std::string& argument, int* status = nullptr) {
        const std::string command = "LUDORA_SITE_PORT=" + std::to_string(port) +
                                    " LUDORA_SITE_DIR='" + scratch.path().string() +
                                    "' LUDORA_SITE_BIN='" LUDORA_SITE_BINARY "' '" +
                                    LUDORA_SOURCE_DIR "/scripts/site-ensure' " + argument + " 2>&1";
        std::string output;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return output;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        const int code = pclose(pipe);
        if (status) *status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
        return output;
    }

    ScratchFolder scratch;
    int port = free_port();
};

} // namespace

TEST_F(SiteEnsureTest, StartsTheSiteWhenNothingAnswersAndStopsIt) {
    int status = -1;
    EXPECT_NE(std::string::npos, run("--status", &status).find("Nothing answers"));
    EXPECT_EQ(1, status);

    const std::string started = run("", &status);
    ASSERT_EQ(0, status) << started;
    EXPECT_NE(std::string::npos, started.find("started in the background")) << started;
    EXPECT_NE(std::string::npos, started.find("--stop")) << started;
    // It answers as the launcher expects, and keeps its scores in its folder.
    ASSERT_EQ(200, http_get(port, launcher_upload_target("Pearlwreck", "Ann:::N", 10)).status);
    EXPECT_EQ(1u, stored_uploads(scratch.path() / "site.db").size());

    const std::string again = run("", &status);
    EXPECT_EQ(0, status);
    EXPECT_NE(std::string::npos, again.find("running in the background")) << again;

    const std::string stopped = run("--stop", &status);
    EXPECT_EQ(0, status);
    EXPECT_NE(std::string::npos, stopped.find("Score site stopped")) << stopped;
    EXPECT_EQ(0, http_get(port, "/").status);
}

TEST_F(SiteEnsureTest, LeavesASiteStartedByOthersAlone) {
    SiteProcess other{scratch.path()};
    ASSERT_TRUE(other.start({"--db", (scratch.path() / "other.db").string()}));
    port = other.port();
    int status = -1;
    const std::string output = run("", &status);
    EXPECT_EQ(0, status);
    EXPECT_NE(std::string::npos, output.find("already running")) << output;
    EXPECT_NE(std::string::npos, run("--stop").find("No score site started by"));
    EXPECT_EQ(200, http_get(port, "/").status);
}
