// The site's pages, the launcher's upload and the JSON API.
#include "site_server.h"

#include "client_address.h"
#include "game_name.h"
#include "pages.h"
#include "request_log.h"
#include "scores_json.h"
#include "style_sheet.h"
#include "upload_query.h"
#include "utc_time.h"
#include "web_root.h"

#include <algorithm>
#include <chrono>

namespace ludora::site {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr int kMostGamesShown = 64; // the home page and the JSON stay small whatever is stored

using Clock = std::chrono::steady_clock;

HttpAnswer problem_answer(int status, const std::string& title, const std::string& detail) {
    HttpAnswer answer{status, kHtml, problem_page(title, detail), {}, false};
    answer.set_header("Cache-Control", "no-store");
    return answer;
}

HttpAnswer json_answer(int status, std::string json) {
    HttpAnswer answer{status, kJson, std::move(json), {}, false};
    answer.set_header("Cache-Control", "no-cache");
    return answer;
}

HttpAnswer unreadable_scores(const std::string& problem) {
    write_log_line(problem_log_line("the scores cannot be read", problem));
    return problem_answer(503, "The scores cannot be read just now",
                          "Please try again in a moment.");
}

// A request whose head could not be taken as it came, or whose route failed.
HttpAnswer refusal_page(int status) {
    if (status >= 500)
        return problem_answer(status, "Something went wrong",
                              "The site could not answer this request.");
    return problem_answer(status, "The request is too large",
                          "Requests to this site may be at most 8 KB, in at most 100 lines.");
}

} // namespace

SiteServer::SiteServer(ScoreStore& store, const SiteOptions& options)
    : store_(store), limiter_(options.uploads_per_minute), options_(options), http_(http_setup()) {
    routes_["/"] = [this](const HttpRequest&) { return answer_home(); };
    routes_["/style.css"] = [](const HttpRequest&) {
        HttpAnswer answer{200, "text/css; charset=utf-8", std::string(style_sheet()), {}, false};
        answer.set_header("Cache-Control", "public, max-age=3600");
        return answer;
    };
    routes_["/favicon.ico"] = [](const HttpRequest&) {
        HttpAnswer answer{204, {}, {}, {}, false};
        answer.set_header("Cache-Control", "public, max-age=86400");
        return answer;
    };
    routes_["/cgi-bin/hiscore.cgi"] = [this](const HttpRequest& request) {
        return answer_upload(request);
    };
    routes_["/api/scores"] = [this](const HttpRequest& request) {
        return answer_scores_api(request);
    };
    // The browser build: its own headers, its policy in place of the pages'.
    routes_["/play"] =
        routes_["/play/"] = [this](const HttpRequest& request) { return answer_play(request); };
}

HttpAnswer SiteServer::answer_play(const HttpRequest& request) const {
    auto play =
        answer_play_path(options_.web_root, {request.path, request.header("Accept-Encoding"),
                                             request.header("If-None-Match")});
    if (!play)
        return problem_answer(404, "There is no such page",
                              "This site has the halls of fame at / and the upload of Ludora.");
    HttpAnswer answer{play->status, {}, std::move(play->body), {}, false};
    for (auto& [name, value] : play->headers) {
        if (name == "Content-Type")
            answer.content_type = std::move(value);
        else
            answer.set_header(std::move(name), std::move(value));
    }
    return answer;
}

HttpServiceSetup SiteServer::http_setup() {
    HttpServiceSetup setup;
    setup.listen_address = options_.listen_address;
    setup.port = options_.port;
    setup.limits.per_address = options_.connections_per_address;
    setup.limits.request_deadline = std::chrono::seconds(options_.request_timeout_seconds);
    setup.limits.idle_timeout = std::chrono::seconds(options_.idle_timeout_seconds);
    setup.limits.trusted_proxies = options_.trusted_proxies;
    setup.answer_threads = std::max(4, options_.db_connections * 2);
    setup.headers_of_every_answer = {
        {"Server", "ludora-site"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        // The pages need nothing but their style sheet; should an escape ever
        // be missed, a script injected by a player still would not run.
        {"Content-Security-Policy", "default-src 'none'; style-src 'self'; base-uri 'none'; "
                                    "form-action 'none'; frame-ancestors 'none'"},
    };
    setup.answer = [this](const HttpRequest& request) { return answer(request); };
    setup.refusal = refusal_page;
    return setup;
}

HttpAnswer SiteServer::answer(const HttpRequest& request) {
    auto route = routes_.find(request.path);
    // A route whose path ends in "/" takes everything under it, the deepest first.
    for (size_t slash = request.path.rfind('/');
         route == routes_.end() && slash != 0 && slash != std::string::npos;
         slash = request.path.rfind('/', slash - 1))
        route = routes_.find(request.path.substr(0, slash + 1));
    if (route == routes_.end())
        return problem_answer(404, "There is no such page",
                              "This site has the halls of fame at / and the upload of Ludora.");
    // The upload says itself how uploads come; the rest is only read.
    if (request.method != "GET" && request.method != "HEAD" &&
        request.path != "/cgi-bin/hiscore.cgi") {
        HttpAnswer refused = problem_answer(405, "This page can only be read",
                                            "Pages of this site are read with GET.");
        refused.set_header("Allow", "GET, HEAD");
        return refused;
    }
    return route->second(request);
}

bool SiteServer::game_accepted(const std::string& game) const {
    return options_.games.empty() ||
           std::find(options_.games.begin(), options_.games.end(), game) != options_.games.end();
}

int SiteServer::games_shown() const {
    if (!options_.games.empty())
        return std::min(kMostGamesShown, static_cast<int>(options_.games.size()));
    return options_.max_games > 0 ? std::min(kMostGamesShown, options_.max_games) : kMostGamesShown;
}

HttpAnswer SiteServer::answer_home() {
    std::string problem;
    const auto games = store_.all_games(kTopPlaces, games_shown(), problem);
    if (!games) return unreadable_scores(problem);
    HttpAnswer answer{200, kHtml, home_page(*games), {}, false};
    answer.set_header("Cache-Control", "no-cache");
    return answer;
}

HttpAnswer SiteServer::answer_upload(const HttpRequest& request) {
    // A GET changes the scores here because that is what the launcher sends;
    // a HEAD, which checks links, must not.
    if (request.method != "GET") {
        HttpAnswer refused =
            problem_answer(405, "Uploads come as GET requests", "Nothing was recorded.");
        refused.set_header("Allow", "GET");
        return refused;
    }
    // The launcher opens the address in a browser, which says "none"; a page
    // of another site that loads the address says "cross-site" or "same-site".
    const std::string fetched_from = request.header("Sec-Fetch-Site");
    if (!fetched_from.empty() && fetched_from != "none" && fetched_from != "same-origin")
        return problem_answer(403, "Uploads come from Ludora itself",
                              "Another page sent this upload. Nothing was recorded.");
    if (!limiter_.allow(limit_key(request.client), Clock::now())) {
        HttpAnswer refused =
            problem_answer(429, "Too many uploads",
                           "This site takes at most " + std::to_string(limiter_.limit()) +
                               " uploads a minute from one address. Nothing was recorded; "
                               "please try again in a minute.");
        refused.set_header("Retry-After", "60");
        return refused;
    }
    const UploadQuery query = parse_upload_query(request.query);
    if (query.outcome == UploadQuery::Outcome::Refused)
        return problem_answer(400, "That upload could not be recorded",
                              query.problem + " Nothing was recorded.");
    if (!game_accepted(query.upload.game))
        return problem_answer(400, "That upload could not be recorded",
                              "This site keeps no scores of " + query.upload.game +
                                  ". Nothing was recorded.");
    std::string problem;
    if (query.outcome == UploadQuery::Outcome::NothingToRecord) {
        const auto top = store_.top(query.upload.game, kTopPlaces, problem);
        if (!top) return unreadable_scores(problem);
        HttpAnswer answer{200, kHtml, nothing_to_record_page(query.upload.game, *top), {}, false};
        answer.set_header("Cache-Control", "no-store");
        return answer;
    }
    const RecordOutcome outcome = store_.record(query.upload, unix_seconds_now());
    switch (outcome.status) {
    case RecordStatus::Stored: {
        HttpAnswer answer{200, kHtml, thanks_page(query.upload, outcome.upload), {}, false};
        answer.set_header("Cache-Control", "no-store");
        return answer;
    }
    case RecordStatus::TooManyGames:
        return problem_answer(409, "That upload could not be recorded",
                              "This site keeps no more games. Nothing was recorded.");
    case RecordStatus::Full:
        write_log_line(problem_log_line("the scores are full", outcome.problem));
        return problem_answer(507, "The score site is full",
                              "It keeps no more scores just now. Nothing was recorded.");
    case RecordStatus::Failed:
        break;
    }
    write_log_line(problem_log_line("an upload cannot be written", outcome.problem));
    return problem_answer(503, "The scores cannot be written just now",
                          "Nothing was recorded. Please try again in a moment.");
}

HttpAnswer SiteServer::answer_scores_api(const HttpRequest& request) {
    std::string problem;
    if (!request.has_parameter("game")) {
        const auto games = store_.all_games(kTopPlaces, games_shown(), problem);
        if (!games) {
            write_log_line(problem_log_line("the scores cannot be read", problem));
            return json_answer(503, error_json("The scores cannot be read just now."));
        }
        return json_answer(200, all_games_json(*games));
    }
    const std::string game = request.parameter("game");
    if (!check_game_name(game, problem)) return json_answer(400, error_json(problem));
    auto top = store_.top(game, kTopPlaces, problem);
    if (!top) {
        write_log_line(problem_log_line("the scores cannot be read", problem));
        return json_answer(503, error_json("The scores cannot be read just now."));
    }
    return json_answer(200, game_scores_json({game, std::move(*top)}));
}

} // namespace ludora::site
