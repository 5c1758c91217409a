// The attacks of an internet-facing service, each reproduced on loopback
// against the real site: none of them may cost other clients their answers
// or plant anything in the scores.
#include "site_fixture.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sitetest;

namespace {

// A raw loopback connection, for clients that do not behave.
int connect_to(int port, const char* from = "127.0.0.1") {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval patience{5, 0};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, from, &source.sin_addr);
    ::bind(socket, reinterpret_cast<sockaddr*>(&source), sizeof source);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(0, ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address));
    return socket;
}

void send_text(int socket, const std::string& text) {
    ::send(socket, text.data(), text.size(), MSG_NOSIGNAL);
}

// What the site sends until it closes the connection (or 5 s pass).
std::string read_to_end(int socket) {
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(socket, buffer, sizeof buffer, 0)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

bool closed_by_site(int socket) {
    read_to_end(socket);
    char byte;
    return ::recv(socket, &byte, 1, MSG_DONTWAIT) == 0;
}

} // namespace

TEST_F(SiteTest, ARangeRequestGetsThePageOnceAndNoMore) {
    std::string ranges = "Range: bytes=0-"; // the whole sheet, 200 times over
    for (int i = 1; i < 200; ++i)
        ranges += ",0-";
    const HttpAnswer plain = get("/style.css");
    const HttpAnswer ranged = http_get(site.port(), "/style.css", {ranges});
    EXPECT_EQ(200, ranged.status);
    EXPECT_EQ(plain.body, ranged.body);
    EXPECT_EQ("", ranged.header("content-range"));
}

TEST_F(SiteTest, SlowAndIdleClientsHoldUpNobodyAndAreCutOff) {
    site.kill();
    ASSERT_TRUE(start_site(
        {"--request-timeout", "1", "--idle-timeout", "1", "--connections-per-address", "0"}));
    // More than the 16 threads that used to serve one connection each.
    std::vector<int> held;
    for (int i = 0; i < 40; ++i) {
        held.push_back(connect_to(site.port()));
        if (i % 2) send_text(held.back(), "GET / HTTP/1.1\r\nHost: x\r\nX-Slow: a");
    }
    EXPECT_EQ(200, get("/").status);
    for (const int socket : held) {
        EXPECT_TRUE(closed_by_site(socket));
        ::close(socket);
    }
}

TEST_F(SiteTest, OneAddressMayHoldOnlyItsShareOfConnections) {
    site.kill();
    ASSERT_TRUE(start_site({"--connections-per-address", "3"}));
    std::vector<int> held;
    for (int i = 0; i < 3; ++i) {
        held.push_back(connect_to(site.port()));
        // An answer shows the site has taken this one in (its threads accept side by side).
        send_text(held.back(), "GET /style.css HTTP/1.1\r\nHost: x\r\n\r\n");
        char byte;
        EXPECT_EQ(1, ::recv(held.back(), &byte, 1, 0));
    }
    const int one_too_many = connect_to(site.port());
    EXPECT_TRUE(closed_by_site(one_too_many));
    ::close(one_too_many);
    // Another address is not held back by this one.
    const int other = connect_to(site.port(), "127.0.0.2");
    send_text(other, "GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(0u, read_to_end(other).rfind("HTTP/1.1 200", 0));
    ::close(other);
    for (const int socket : held)
        ::close(socket);
}

TEST_F(SiteTest, AFloodOfHeaderLinesIsRefusedEarlyAndTheConnectionClosed) {
    const int socket = connect_to(site.port());
    send_text(socket, "GET / HTTP/1.1\r\nHost: x\r\n");
    // Far more than fit in 16 KiB; the site stops reading long before, so
    // the sending stops on a reset.
    size_t sent = 0;
    const std::string lines = [] {
        std::string text;
        for (int i = 0; i < 1000; ++i)
            text += "X-Flood: " + std::to_string(i) + "\r\n";
        return text;
    }();
    for (int i = 0; i < 1000; ++i) {
        const ssize_t now = ::send(socket, lines.data(), lines.size(), MSG_NOSIGNAL);
        if (now <= 0) break;
        sent += static_cast<size_t>(now);
    }
    const std::string answer = read_to_end(socket);
    EXPECT_LT(sent, 1000 * lines.size());
    EXPECT_EQ(0u, answer.rfind("HTTP/1.1 431", 0)) << answer.substr(0, 200);
    ::close(socket);
    // 101 short lines are refused as well, with the site's own page.
    std::vector<std::string> many(101, "X-Many: 1");
    EXPECT_EQ(431, http_get(site.port(), "/", many).status);
}

TEST_F(SiteTest, AMalformedRequestIsAnsweredAndTheConnectionClosed) {
    const int socket = connect_to(site.port());
    send_text(socket, "GET / HTTP/1.1 and more\r\nHost: x\r\n\r\n");
    const std::string answer = read_to_end(socket);
    EXPECT_EQ(0u, answer.rfind("HTTP/1.1 4", 0)) << answer;
    char byte;
    EXPECT_EQ(0, ::recv(socket, &byte, 1, MSG_DONTWAIT));
    ::close(socket);
}

TEST_F(SiteTest, AnUploadFromAnotherSitesPageIsRefusedAndStoresNothing) {
    const std::string target = launcher_upload_target("Pearlwreck", "Ann:::N", 100);
    for (const char* from : {"cross-site", "same-site"}) {
        const HttpAnswer forged =
            http_get(site.port(), target, {std::string("Sec-Fetch-Site: ") + from});
        EXPECT_EQ(403, forged.status) << from;
    }
    EXPECT_TRUE(stored().empty());
    // The launcher opens the address itself ("none"); older browsers send nothing.
    EXPECT_EQ(200, http_get(site.port(), target, {"Sec-Fetch-Site: none"}).status);
    EXPECT_EQ(200, upload("Pearlwreck", "Bob:::N", 50).status);
    EXPECT_EQ(2u, stored().size());
}

TEST_F(SiteTest, ByDefaultOnlyTheSuitesGamesAreKept) {
    site.kill();
    ASSERT_TRUE(site.start({"--db", db.argument()})) << site.log();
    EXPECT_EQ(400, upload("Invented Game", "Ann:::N", 100).status);
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(200, upload("Pearlwreck", "Ann:::N", 100).status);
    EXPECT_EQ(1u, stored().size());
}

TEST_F(SiteTest, BehindATrustedProxyTheLimitCountsEachClientsSixtyFourBits) {
    site.kill();
    ASSERT_TRUE(start_site({"--trusted-proxy", "127.0.0.1", "--rate-limit", "2"}));
    const auto upload_from = [&](const std::string& forwarded, int score) {
        return http_get(site.port(), launcher_upload_target("Pearlwreck", "Ann:::N", score),
                        {"X-Forwarded-For: " + forwarded})
            .status;
    };
    EXPECT_EQ(200, upload_from("2001:db8:1:2::1", 1));
    EXPECT_EQ(200, upload_from("2001:db8:1:2::2", 2));
    // Only the hop the proxy added counts; what the client wrote before it does not.
    EXPECT_EQ(429, upload_from("2001:db8:9::1, 2001:db8:1:2:ffff::3", 3));
    EXPECT_EQ(200, upload_from("2001:db8:1:3::1", 4));
}

TEST_F(SiteTest, ANameCannotTurnItsRowAroundOrSpillOutOfItsCell) {
    std::string marks;
    for (int i = 0; i < 100; ++i)
        marks += "\xCC\x81"; // U+0301, a combining acute accent
    ASSERT_EQ(200, upload("Pearlwreck",
                          "\xE2\x80\xAE"
                          "Ann\xE2\x81\xA6"
                          "a" +
                              marks + ":::N",
                          9)
                       .status);
    const auto rows = stored();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("Anna\xCC\x81\xCC\x81\xCC\x81", rows[0].player); // three marks kept
}

TEST_F(SiteTest, ALostDatabaseIsNamedInTheLogAndTheLogStaysAscii) {
    EXPECT_EQ(404, get("/caf%C3%A9").status);
    EXPECT_NE(std::string::npos, site.log().find("/caf\\xC3\\xA9")) << site.log();
    // The database refuses every new row from now on, in words of its own.
    if (TestDatabase::on_postgresql())
        GTEST_SKIP() << "the refusing trigger is written for the SQLite file";
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(database().c_str(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db,
                                      "CREATE TRIGGER refuse BEFORE INSERT ON uploads BEGIN "
                                      "SELECT RAISE(FAIL, 'the disk is full, says the test'); END",
                                      nullptr, nullptr, nullptr));
    sqlite3_close(db);
    EXPECT_EQ(503, upload("Pearlwreck", "Ann:::N", 100).status);
    EXPECT_NE(std::string::npos, site.log().find("ludora-site: an upload cannot be written: "
                                                 "the disk is full, says the test"))
        << site.log();
}

TEST(SiteStopTest, AStopInTheFirstMillisecondsIsNeverLost) {
    ScratchFolder scratch;
    const std::string database = (scratch.path() / "scores.db").string();
    for (int run = 0; run < 20; ++run) {
        std::vector<std::string> words = {LUDORA_SITE_BINARY, "--port", "0", "--db", database};
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(0, posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ));
        std::this_thread::sleep_for(std::chrono::microseconds(run * 500));
        ::kill(pid, SIGTERM);
        int status = 0;
        bool ended = false;
        for (int wait = 0; wait < 500 && !ended; ++wait) {
            ended = waitpid(pid, &status, WNOHANG) == pid;
            if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!ended) ::kill(pid, SIGKILL), waitpid(pid, &status, 0);
        EXPECT_TRUE(ended) << "run " << run;
    }
}
