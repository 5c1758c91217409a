// The site's HTTP service: its pages, the launcher's upload and the JSON API.
#pragma once

#include "rate_limiter.h"
#include "score_store.h"
#include "site_options.h"

#include <httplib.h>

#include <atomic>
#include <string>

namespace ludora::site {

constexpr size_t kLargestRequest = 8192; // bytes of request line, headers and body

// The library listens with a backlog of 5: clients that connect together
// beyond that wait a second for their SYN to be sent again.
class HttpServer : public httplib::Server {
public:
    void widen_backlog();
};

class SiteServer {
public:
    SiteServer(ScoreStore& store, const SiteOptions& options);

    // Binds the listening socket. The port it got (the one asked for, or a
    // free one for port 0), or -1 with the reason.
    int bind(std::string& problem);

    // Answers requests until stop.
    bool run();

    // Safe from any thread, also before run has begun: the stop then waits
    // for it, since the library ignores a stop that comes before its loop runs.
    void stop();

private:
    void route();
    void answer_home(httplib::Response& response);
    void answer_upload(const httplib::Request& request, httplib::Response& response);
    void answer_scores_api(const httplib::Request& request, httplib::Response& response);
    static void answer_problem(httplib::Response& response, int status, const std::string& title,
                               const std::string& detail);

    HttpServer server_;
    ScoreStore& store_;
    RateLimiter limiter_;
    SiteOptions options_;
    std::atomic<bool> finished_ = false;
};

} // namespace ludora::site
