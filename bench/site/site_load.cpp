// site_load: sends uploads exactly as the launcher builds them to a running
// ludora-site from several loopback clients, each on a kept-alive connection,
// and reports uploads a second and latency percentiles. With --check it reads
// the site's database afterwards and says whether every upload that was
// answered 200 is there.
//
//   site_load --port 8080 --uploads 10000 --clients 8 [--answered FILE]
//   site_load --port 8081,8082 ...   several sites: the clients take turns, and a
//                                    client whose site stops answering moves on
//                                    to the next, as a load balancer would
//   site_load --check DB --answered FILE [--expect N]
//
// An upload whose connection fails is sent again on a new connection until
// it is answered (the site keeps a repeated upload once), for at most
// --patience seconds each, so a site killed and restarted midway is ridden out.
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <set>
#include <sstream>
#include <sqlite3.h>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kScoreMask = 0x3C3C3C3;
const char* const kGame = "Bench";

struct Options {
    std::vector<int> ports = {8080};
    int uploads = 10000;
    int clients = 8;
    double patience = 30;
    std::string answered_file;
    std::string check_database;
    long expect = -1;
};

// The launcher's escaping: these become "%xx"; "&", "=", ":" stay.
std::string launcher_escape(const std::string& text) {
    static const char kEscaped[] = " \"#%;<>?[\\]^{|}~";
    std::string out;
    for (const char c : text) {
        if (std::strchr(kEscaped, c) && c) {
            char piece[4];
            std::snprintf(piece, sizeof piece, "%%%02x", static_cast<unsigned char>(c));
            out += piece;
        } else {
            out += c;
        }
    }
    return out;
}

std::string player_of(int upload) {
    return "bench " + std::to_string(upload);
}

std::string upload_target(int upload) {
    const auto sent = static_cast<int32_t>(static_cast<uint32_t>(upload) ^ kScoreMask);
    return "/cgi-bin/hiscore.cgi?" +
           launcher_escape(std::string("game=") + kGame + "&name=" + player_of(upload) +
                           ":::N&score=" + std::to_string(sent));
}

class Connection {
public:
    explicit Connection(int port) : port_(port) {}
    ~Connection() { close(); }

    void move_to(int port) {
        close();
        port_ = port;
    }

    // The status of the answer, or 0 when the connection failed.
    int get(const std::string& target) {
        if (socket_ < 0 && !open()) return 0;
        const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        if (::send(socket_, request.data(), request.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(request.size())) {
            close();
            return 0;
        }
        const int status = read_answer();
        if (status == 0) close();
        return status;
    }

private:
    bool open() {
        socket_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (socket_ < 0) return false;
        timeval patience{10, 0};
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        const int yes = 1;
        setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close();
            return false;
        }
        buffer_.clear();
        return true;
    }

    void close() {
        if (socket_ >= 0) ::close(socket_);
        socket_ = -1;
    }

    bool fill() {
        char chunk[16384];
        const ssize_t got = ::recv(socket_, chunk, sizeof chunk, 0);
        if (got <= 0) return false;
        buffer_.append(chunk, static_cast<size_t>(got));
        return true;
    }

    int read_answer() {
        size_t head_end;
        while ((head_end = buffer_.find("\r\n\r\n")) == std::string::npos)
            if (!fill()) return 0;
        if (buffer_.compare(0, 9, "HTTP/1.1 ") != 0) return 0;
        const int status = std::atoi(buffer_.c_str() + 9);
        size_t length = 0;
        const std::string head = buffer_.substr(0, head_end);
        const size_t field = head.find("Content-Length: ");
        if (field != std::string::npos)
            length = std::strtoul(head.c_str() + field + 16, nullptr, 10);
        const bool closes = head.find("Connection: close") != std::string::npos;
        while (buffer_.size() < head_end + 4 + length)
            if (!fill()) return 0;
        buffer_.erase(0, head_end + 4 + length);
        if (closes) close();
        return status;
    }

    int port_;
    int socket_ = -1;
    std::string buffer_;
};

double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const size_t index = std::min(sorted.size() - 1, static_cast<size_t>(p * sorted.size()));
    return sorted[index];
}

int run_load(const Options& options) {
    std::atomic<int> next = 0;
    std::mutex merge;
    std::vector<double> latencies;
    std::vector<int> answered;
    long retries = 0, refused = 0, given_up = 0;
    const auto start = Clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < options.clients; ++c) {
        clients.emplace_back([&, c] {
            size_t site = static_cast<size_t>(c) % options.ports.size();
            Connection connection(options.ports[site]);
            std::vector<double> my_latencies;
            std::vector<int> my_answered;
            long my_retries = 0, my_refused = 0, my_given_up = 0;
            for (int upload; (upload = next++) < options.uploads;) {
                const std::string target = upload_target(upload);
                const auto first_try = Clock::now();
                for (;;) {
                    const auto sent = Clock::now();
                    const int status = connection.get(target);
                    if (status == 200) {
                        my_latencies.push_back(
                            std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
                        my_answered.push_back(upload);
                        break;
                    }
                    if (status != 0) {
                        ++my_refused;
                        break;
                    }
                    ++my_retries;
                    site = (site + 1) % options.ports.size();
                    connection.move_to(options.ports[site]);
                    if (Clock::now() - first_try >
                        std::chrono::duration<double>(options.patience)) {
                        ++my_given_up;
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
            }
            std::lock_guard lock(merge);
            latencies.insert(latencies.end(), my_latencies.begin(), my_latencies.end());
            answered.insert(answered.end(), my_answered.begin(), my_answered.end());
            retries += my_retries, refused += my_refused, given_up += my_given_up;
        });
    }
    for (auto& client : clients)
        client.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::sort(latencies.begin(), latencies.end());
    std::printf("uploads sent:        %d from %d clients\n", options.uploads, options.clients);
    std::printf("answered 200:        %zu (refused %ld, failed connections retried %ld, "
                "given up %ld)\n",
                answered.size(), refused, retries, given_up);
    std::printf("wall time:           %.2f s\n", seconds);
    std::printf("uploads a second:    %.0f\n", answered.size() / seconds);
    std::printf("latency ms:          p50 %.2f  p90 %.2f  p99 %.2f  p99.9 %.2f  max %.2f\n",
                percentile(latencies, 0.50), percentile(latencies, 0.90),
                percentile(latencies, 0.99), percentile(latencies, 0.999),
                latencies.empty() ? 0.0 : latencies.back());
    if (!options.answered_file.empty()) {
        std::ofstream out(options.answered_file);
        for (const int upload : answered)
            out << upload << '\n';
    }
    return answered.size() == static_cast<size_t>(options.uploads) ? 0 : 1;
}

int run_check(const Options& options) {
    std::set<std::string> stored;
    long rows = 0;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(options.check_database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "site_load: cannot open %s\n", options.check_database.c_str());
        return 2;
    }
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT player FROM uploads WHERE game = 'Bench'", -1, &select, nullptr);
    while (select && sqlite3_step(select) == SQLITE_ROW) {
        stored.insert(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)));
        ++rows;
    }
    sqlite3_finalize(select);
    sqlite3_close(db);

    std::ifstream in(options.answered_file);
    long answered = 0, missing = 0;
    for (int upload; in >> upload; ++answered) {
        if (!stored.count(player_of(upload))) {
            if (++missing <= 10) std::printf("missing: upload %d\n", upload);
        }
    }
    std::printf("answered 200:        %ld\n", answered);
    std::printf("in the database:     %zu\n", stored.size());
    std::printf("answered but absent: %ld\n", missing);
    std::printf("stored twice:        %ld\n", rows - static_cast<long>(stored.size()));
    const bool count_ok = options.expect < 0 || static_cast<long>(stored.size()) == options.expect;
    if (!count_ok) std::printf("expected %ld rows in the database\n", options.expect);
    return missing == 0 && count_ok && rows == static_cast<long>(stored.size()) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--port") {
            options.ports.clear();
            std::istringstream list(value);
            for (std::string port; std::getline(list, port, ',');)
                options.ports.push_back(std::atoi(port.c_str()));
        } else if (option == "--uploads")
            options.uploads = std::atoi(value);
        else if (option == "--clients")
            options.clients = std::max(1, std::atoi(value));
        else if (option == "--patience")
            options.patience = std::atof(value);
        else if (option == "--answered")
            options.answered_file = value;
        else if (option == "--check")
            options.check_database = value;
        else if (option == "--expect")
            options.expect = std::atol(value);
        else {
            std::fprintf(stderr, "site_load: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    return options.check_database.empty() ? run_load(options) : run_check(options);
}
