// site_siege: the attacks an internet-facing score site meets, run against a
// ludora-site on loopback, each with the figure its goal is about.
//
//   site_siege slow  --port P [--slow 300] [--idle 300] [--seconds 30] [--sources 40]
//       Slow clients (a header byte every 2 s) and idle kept-alive clients,
//       spread over source addresses 127.0.0.2..., reconnecting whenever the
//       site cuts them, while a probe from 127.0.0.1 asks for / every 100 ms:
//       probes answered, p50/p99/max probe milliseconds.
//   site_siege flood --port P --pid PID [--lines 1000000]
//       One request of that many header lines: what the site answered, how
//       many bytes it took before it stopped reading, its resident memory
//       before and after.
//   site_siege range --port P
//       GET / with 200 ranges of the whole page: the answer's size beside the
//       plain page's.
//   site_siege games --port P [--games 20000]
//       Uploads to that many new game names while another client reads the
//       home page: its p99 before, during and after, and its size.
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int g_port = 8080;

double milliseconds_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int connect_from(const std::string& source, bool blocking = true) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval patience{10, 0};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source.c_str(), &from.sin_addr);
    ::bind(socket, reinterpret_cast<sockaddr*>(&from), sizeof from);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(g_port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        ::close(socket);
        return -1;
    }
    if (!blocking) fcntl(socket, F_SETFL, O_NONBLOCK);
    return socket;
}

bool send_all(int socket, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t now = ::send(socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (now <= 0) return false;
        sent += static_cast<size_t>(now);
    }
    return true;
}

// One answer read whole (Content-Length), or everything until the site closes.
std::string read_answer(int socket) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const size_t head_end = text.find("\r\n\r\n");
        if (head_end != std::string::npos) {
            const char* length = strcasestr(text.c_str(), "\r\nContent-Length:");
            if (length && text.size() >= head_end + 4 + std::strtoul(length + 17, nullptr, 10))
                return text;
        }
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0) return text;
        text.append(buffer, static_cast<size_t>(got));
    }
}

std::string get(const std::string& target, const std::string& extra = "") {
    const int socket = connect_from("127.0.0.1");
    if (socket < 0) return {};
    send_all(socket,
             "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + extra + "\r\n");
    std::string answer = read_answer(socket);
    ::close(socket);
    return answer;
}

size_t body_size(const std::string& answer) {
    const size_t head_end = answer.find("\r\n\r\n");
    return head_end == std::string::npos ? 0 : answer.size() - head_end - 4;
}

void report_latencies(const char* what, std::vector<double> times, size_t asked) {
    std::sort(times.begin(), times.end());
    const auto at = [&](double share) {
        return times.empty() ? -1.0
                             : times[std::min(times.size() - 1, size_t(share * times.size()))];
    };
    std::printf("%s: %zu of %zu answered; p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", what,
                times.size(), asked, at(0.5), at(0.99), times.empty() ? -1.0 : times.back());
}

long resident_kb(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

void siege_slow(int slow, int idle, int seconds, int sources) {
    struct Held {
        int socket = -1;
        bool slow = false;
        std::string source;
    };
    std::vector<Held> held;
    for (int i = 0; i < slow + idle; ++i)
        held.push_back({-1, i < slow, "127.0.0." + std::to_string(2 + i % sources)});
    std::atomic<bool> done = false;
    std::atomic<int> cuts = 0;
    std::thread attackers([&] {
        while (!done) {
            for (Held& h : held) {
                if (h.socket < 0) {
                    h.socket = connect_from(h.source, false);
                    if (h.socket < 0) continue;
                    // An idle client asked once and keeps the connection, as browsers do.
                    send_all(h.socket, h.slow ? "GET / HTTP/1.1\r\nHost: x\r\nX-Slow: "
                                              : "GET /style.css HTTP/1.1\r\nHost: x\r\n\r\n");
                    continue;
                }
                char buffer[4096];
                while (::recv(h.socket, buffer, sizeof buffer, 0) > 0) {
                }
                const bool gone = (h.slow && !send_all(h.socket, "a")) ||
                                  ::recv(h.socket, buffer, 1, MSG_PEEK) == 0;
                if (gone) {
                    ::close(h.socket);
                    h.socket = -1;
                    ++cuts;
                }
            }
            for (int i = 0; i < 20 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    std::this_thread::sleep_for(std::chrono::seconds(2)); // all held before the first probe
    std::vector<double> times;
    size_t asked = 0;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        const auto start = Clock::now();
        ++asked;
        if (get("/").rfind("HTTP/1.1 200", 0) == 0) times.push_back(milliseconds_since(start));
        std::this_thread::sleep_until(start + std::chrono::milliseconds(100));
    }
    done = true;
    attackers.join();
    std::printf("held: %d slow and %d idle connections from %d addresses for %d s; the site cut "
                "%d of them (they reconnected)\n",
                slow, idle, sources, seconds, cuts.load());
    report_latencies("probes", times, asked);
    size_t within = 0;
    for (double t : times)
        within += t <= 100;
    std::printf("probes within 100 ms: %.1f %%\n", asked ? 100.0 * within / asked : 0.0);
}

void siege_flood(int pid, long lines) {
    const long before = resident_kb(pid);
    const int socket = connect_from("127.0.0.1");
    std::string chunk;
    for (int i = 0; i < 1000; ++i)
        chunk += "X-Flood-" + std::to_string(i) + ": 1\r\n";
    send_all(socket, "GET / HTTP/1.1\r\nHost: x\r\n");
    size_t sent = 0;
    long lines_sent = 0;
    timeval short_wait{2, 0};
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &short_wait, sizeof short_wait);
    while (lines_sent < lines) {
        const ssize_t now = ::send(socket, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (now <= 0) break;
        sent += static_cast<size_t>(now);
        lines_sent += 1000;
    }
    if (lines_sent >= lines) send_all(socket, "\r\n");
    const std::string answer = read_answer(socket);
    ::close(socket);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long after = resident_kb(pid);
    std::printf("flood of %ld header lines: answered \"%s\"; the client got %zu bytes into the "
                "connection before it was refused or reset (socket buffers included)\n",
                lines, answer.substr(0, answer.find('\r')).c_str(), sent);
    std::printf("site resident memory: %ld kB before, %ld kB after (%+ld kB)\n", before, after,
                after - before);
}

void siege_range() {
    const std::string plain = get("/");
    // Every part the whole page again: the amplification a multipart answer allows.
    std::string ranges = "Range: bytes=0-";
    for (int i = 1; i < 200; ++i)
        ranges += ",0-";
    const std::string ranged = get("/", ranges + "\r\n");
    std::printf("range request of %zu bytes: answered \"%s\", %zu bytes of body; the plain page "
                "has %zu\n",
                ranges.size(), ranged.substr(0, ranged.find('\r')).c_str(), body_size(ranged),
                body_size(plain));
}

void siege_games(int games) {
    enum Phase { Before, During, After, Done };
    std::atomic<int> phase = Before;
    std::vector<double> times[3];
    std::thread reader([&] {
        while (phase != Done) {
            const int now = phase;
            const auto start = Clock::now();
            get("/");
            times[now].push_back(milliseconds_since(start));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::this_thread::sleep_for(std::chrono::seconds(2));
    phase = During;
    int stored = 0;
    for (int i = 0; i < games; ++i) {
        const std::string target = "/cgi-bin/hiscore.cgi?game=Flood" + std::to_string(i) +
                                   "&name=bench:::N&score=" + std::to_string(i ^ 0x3C3C3C3);
        stored += get(target).rfind("HTTP/1.1 200", 0) == 0;
    }
    phase = After;
    std::this_thread::sleep_for(std::chrono::seconds(2));
    phase = Done;
    reader.join();
    const std::string home = get("/");
    std::printf("%d uploads to new games: %d stored; home page %zu bytes\n", games, stored,
                body_size(home));
    report_latencies("home page before", times[Before], times[Before].size());
    report_latencies("home page during", times[During], times[During].size());
    report_latencies("home page after", times[After], times[After].size());
}

long option(int argc, char** argv, const char* name, long fallback) {
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atol(argv[i + 1]);
    return fallback;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: site_siege slow|flood|range|games --port P [...]\n");
        return 2;
    }
    const std::string attack = argv[1];
    g_port = static_cast<int>(option(argc, argv, "--port", 8080));
    if (attack == "slow")
        siege_slow(static_cast<int>(option(argc, argv, "--slow", 300)),
                   static_cast<int>(option(argc, argv, "--idle", 300)),
                   static_cast<int>(option(argc, argv, "--seconds", 30)),
                   static_cast<int>(option(argc, argv, "--sources", 40)));
    else if (attack == "flood")
        siege_flood(static_cast<int>(option(argc, argv, "--pid", 0)),
                    option(argc, argv, "--lines", 1000000));
    else if (attack == "range")
        siege_range();
    else if (attack == "games")
        siege_games(static_cast<int>(option(argc, argv, "--games", 20000)));
    else
        return 2;
    return 0;
}
