// The site's HTTP/1.1 service on libmicrohttpd: a few event threads move the
// bytes of every connection, so slow and idle clients cost a little memory
// each and hold up nobody; GET and HEAD requests are answered by the answer
// workers while their connection waits suspended.
#pragma once

#include "answer_workers.h"
#include "connection_watch.h"
#include "http_exchange.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

struct MHD_Daemon;
struct MHD_Connection;

namespace ludora::site {

constexpr size_t kLargestRequest = 8192; // bytes of request line, headers and body
constexpr size_t kMostHeaderLines = 100;

struct HttpServiceSetup {
    std::string listen_address = "127.0.0.1";
    int port = 0; // 0: any free port
    ConnectionLimits limits;
    int answer_threads = 8;
    HeaderLines headers_of_every_answer; // unless the answer sets one of the same name
    // Answers a request once its head is read.
    std::function<HttpAnswer(const HttpRequest&)> answer;
    // The page for a request refused before routing (413, 414, 431) or
    // whose route failed (500).
    std::function<HttpAnswer(int status)> refusal;
};

class HttpService {
public:
    explicit HttpService(HttpServiceSetup setup);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Binds the listening socket. The port it got, or -1 with the reason.
    int bind(std::string& problem);

    // Serves until stop; false when the service could not start.
    bool run();

    // Safe from any thread, also before run has begun.
    void stop();

    // For the library's callbacks.
    struct Request;
    int on_request(MHD_Connection* connection, const char* path, const char* method,
                   size_t* body_bytes, void** request_slot);

private:
    HttpRequest read_request(MHD_Connection* connection, const char* path, const char* method,
                             const Request& state) const;
    HttpAnswer answer(const HttpRequest& request) const;
    int send(MHD_Connection* connection, Request& state, HttpAnswer answer);
    static void log_request(const Request& state, const std::string& client);

    HttpServiceSetup setup_;
    ConnectionWatch watch_;
    AnswerWorkers workers_;
    int listener_ = -1;
    MHD_Daemon* daemon_ = nullptr;
    std::mutex stop_mutex_;
    std::condition_variable stop_wake_;
    bool stop_asked_ = false;
};

} // namespace ludora::site
