// One HTTP request on a fresh loopback connection.
#include "http_exchange.h"

#include <arpa/inet.h>
#include <cctype>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace sitetest {

namespace {

bool send_all(int socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t now = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (now <= 0) return false;
        sent += static_cast<size_t>(now);
    }
    return true;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

HttpAnswer parse_answer(const std::string& raw) {
    HttpAnswer answer;
    const size_t head_end = raw.find("\r\n\r\n");
    if (raw.rfind("HTTP/1.1 ", 0) != 0 || head_end == std::string::npos) return answer;
    answer.status = std::stoi(raw.substr(9, 3));
    size_t line_start = raw.find("\r\n") + 2;
    while (line_start < head_end) {
        const size_t line_end = raw.find("\r\n", line_start);
        const std::string line = raw.substr(line_start, line_end - line_start);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            size_t value = colon + 1;
            while (value < line.size() && line[value] == ' ')
                ++value;
            answer.headers[lower(line.substr(0, colon))] = line.substr(value);
        }
        line_start = line_end + 2;
    }
    answer.body = raw.substr(head_end + 4);
    return answer;
}

// Whole once the body has its Content-Length (a HEAD answer has no body), so
// a connection the site keeps open after a refusal does not hold the test up.
bool answer_complete(const std::string& raw, const std::string& method) {
    const size_t head_end = raw.find("\r\n\r\n");
    if (head_end == std::string::npos) return false;
    if (method == "HEAD") return true;
    const HttpAnswer head = parse_answer(raw.substr(0, head_end + 4));
    const std::string length = head.header("content-length");
    return !length.empty() && raw.size() - head_end - 4 >= std::stoul(length);
}

} // namespace

HttpAnswer http_request(int port, const std::string& method, const std::string& target,
                        const std::vector<std::string>& extra_header_lines) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return {};
    timeval patience{20, 0};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string raw;
    if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string request = method + " " + target +
                              " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                              "\r\nConnection: close\r\n";
        for (const auto& line : extra_header_lines)
            request += line + "\r\n";
        request += "\r\n";
        // A refused request may be answered before it is all sent: read regardless.
        send_all(socket, request);
        char buffer[16384];
        ssize_t got;
        while (!answer_complete(raw, method) &&
               (got = ::recv(socket, buffer, sizeof buffer, 0)) > 0)
            raw.append(buffer, static_cast<size_t>(got));
    }
    ::close(socket);
    return parse_answer(raw);
}

} // namespace sitetest
