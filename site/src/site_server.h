// The site's pages, the launcher's upload and the JSON API.
#pragma once

#include "http_service.h"
#include "rate_limiter.h"
#include "score_store.h"
#include "site_options.h"

#include <functional>
#include <map>
#include <string>

namespace ludora::site {

class SiteServer {
public:
    SiteServer(ScoreStore& store, const SiteOptions& options);

    // Binds the listening socket. The port it got (the one asked for, or a
    // free one for port 0), or -1 with the reason.
    int bind(std::string& problem) { return http_.bind(problem); }

    // Answers requests until stop.
    bool run() { return http_.run(); }

    // Safe from any thread, also before run has begun.
    void stop() { http_.stop(); }

private:
    using Route = std::function<HttpAnswer(const HttpRequest&)>;

    HttpServiceSetup http_setup();
    HttpAnswer answer(const HttpRequest& request);
    HttpAnswer answer_home();
    HttpAnswer answer_upload(const HttpRequest& request);
    HttpAnswer answer_scores_api(const HttpRequest& request);
    HttpAnswer answer_play(const HttpRequest& request) const;
    bool game_accepted(const std::string& game) const;
    int games_shown() const;

    ScoreStore& store_;
    RateLimiter limiter_;
    SiteOptions options_;
    // By path; a path ending in "/" takes every path under it. Each route
    // sets its own headers, so a folder of static files with headers of its
    // own is one more entry.
    std::map<std::string, Route> routes_;
    HttpService http_;
};

} // namespace ludora::site
