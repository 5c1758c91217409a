// The site's HTTP service.
#include "site_server.h"
#include "web_root.h"

#include "game_name.h"
#include "pages.h"
#include "request_log.h"
#include "scores_json.h"
#include "style_sheet.h"
#include "upload_query.h"
#include "utc_time.h"

#include <chrono>
#include <thread>
#include <sys/socket.h>

namespace ludora::site {

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr size_t kWorkerThreads = 16; // browsers keep idle connections open

using Clock = std::chrono::steady_clock;
using Routing = httplib::Server::HandlerResponse;

// One connection is served by one thread, so the time its request began can
// wait in the thread for the log line. Requests the library refuses before
// routing have no start time.
thread_local Clock::time_point t_request_start{};

size_t request_head_bytes(const httplib::Request& request) {
    size_t bytes =
        request.method.size() + 1 + request.target.size() + 1 + request.version.size() + 2;
    for (const auto& [name, value] : request.headers)
        bytes += name.size() + 2 + value.size() + 2;
    return bytes + 2;
}

size_t declared_body_bytes(const httplib::Request& request) {
    const std::string length = request.get_header_value("Content-Length");
    size_t bytes = 0;
    for (const char c : length) {
        if (c < '0' || c > '9' || bytes > kLargestRequest) return kLargestRequest + 1;
        bytes = bytes * 10 + static_cast<size_t>(c - '0');
    }
    return bytes;
}

std::string raw_query(const std::string& target) {
    const size_t mark = target.find('?');
    return mark == std::string::npos ? std::string() : target.substr(mark + 1);
}

} // namespace

void HttpServer::widen_backlog() {
    ::listen(svr_sock_, SOMAXCONN);
}

SiteServer::SiteServer(ScoreStore& store, const SiteOptions& options)
    : store_(store), limiter_(options.uploads_per_minute), options_(options) {
    server_.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    server_.set_payload_max_length(kLargestRequest);
    server_.set_keep_alive_max_count(100);
    // The library writes the head and the body of an answer separately; with
    // Nagle's algorithm the body then waits for the client's delayed ACK.
    server_.set_tcp_nodelay(true);
    // The library's default adds SO_REUSEPORT, with which a second site on the
    // same port would share it silently instead of being told it is taken.
    server_.set_socket_options([](int socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server_.set_default_headers({
        {"Server", "ludora-site"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        // The pages need nothing but their style sheet; should an escape ever
        // be missed, a script injected by a player still would not run.
        {"Content-Security-Policy", "default-src 'none'; style-src 'self'; base-uri 'none'; "
                                    "form-action 'none'; frame-ancestors 'none'"},
    });
    route();
}

void SiteServer::route() {
    server_.set_pre_routing_handler(
        [](const httplib::Request& request, httplib::Response& response) {
            t_request_start = Clock::now();
            const size_t head = request_head_bytes(request);
            if (head > kLargestRequest) {
                answer_problem(response, 431, "The request is too large",
                               "Requests to this site may be at most 8 KB.");
                return Routing::Handled;
            }
            if (head + declared_body_bytes(request) > kLargestRequest) {
                answer_problem(response, 413, "The request is too large",
                               "Requests to this site may be at most 8 KB.");
                response.set_header("Connection", "close");
                return Routing::Handled;
            }
            return Routing::Unhandled;
        });

    server_.Get("/", [this](const httplib::Request&, httplib::Response& response) {
        answer_home(response);
    });
    server_.Get("/style.css", [](const httplib::Request&, httplib::Response& response) {
        const std::string_view css = style_sheet();
        response.set_content(css.data(), css.size(), "text/css; charset=utf-8");
        response.set_header("Cache-Control", "public, max-age=3600");
    });
    server_.Get("/favicon.ico", [](const httplib::Request&, httplib::Response& response) {
        response.status = 204;
        response.set_header("Cache-Control", "public, max-age=86400");
    });
    server_.Get(R"(/cgi-bin/hiscore\.cgi)",
                [this](const httplib::Request& request, httplib::Response& response) {
                    answer_upload(request, response);
                });
    // A form or a script that posts to the upload is told how uploads come.
    server_.Post(R"(/cgi-bin/hiscore\.cgi)",
                 [this](const httplib::Request& request, httplib::Response& response) {
                     answer_upload(request, response);
                 });
    // The browser build: its own headers, its policy instead of the pages'.
    server_.Get(
        R"(/play(/.*)?)", [this](const httplib::Request& request, httplib::Response& response) {
            const auto answer = answer_play_path(
                options_.web_root, {request.path, request.get_header_value("Accept-Encoding"),
                                    request.get_header_value("If-None-Match")});
            response.status = answer->status;
            response.headers.erase("Content-Security-Policy");
            for (const auto& [name, value] : answer->headers)
                if (name != "Content-Type") response.set_header(name, value);
            for (const auto& [name, value] : answer->headers)
                if (name == "Content-Type") response.set_content(answer->body, value);
        });
    server_.Get("/api/scores",
                [this](const httplib::Request& request, httplib::Response& response) {
                    answer_scores_api(request, response);
                });

    // Whatever the library or a handler refused without a page of its own.
    const httplib::Server::HandlerWithResponse refused_without_page(
        [](const httplib::Request&, httplib::Response& response) -> Routing {
            if (!response.body.empty()) return Routing::Unhandled;
            switch (response.status) {
            case 404:
                answer_problem(response, 404, "There is no such page",
                               "This site has the halls of fame at / and the upload of Ludora.");
                break;
            case 413:
            case 414:
            case 431:
                answer_problem(response, response.status, "The request is too large",
                               "Requests to this site may be at most 8 KB.");
                break;
            case 400:
                answer_problem(response, 400, "The request could not be read",
                               "It is not a request this site understands.");
                break;
            default:
                answer_problem(response, response.status, "Something went wrong",
                               "The site could not answer this request.");
            }
            return Routing::Handled;
        });
    server_.set_error_handler(refused_without_page);

    server_.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            answer_problem(response, 500, "Something went wrong",
                           "The site could not answer this request.");
        });

    server_.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        double milliseconds = -1;
        if (t_request_start != Clock::time_point{}) {
            milliseconds =
                std::chrono::duration<double, std::milli>(Clock::now() - t_request_start).count();
            t_request_start = Clock::time_point{};
        }
        write_log_line(request_log_line(request.remote_addr, request.method, request.path,
                                        response.status, response.body.size(), milliseconds));
    });
}

void SiteServer::answer_problem(httplib::Response& response, int status, const std::string& title,
                                const std::string& detail) {
    response.status = status;
    response.set_content(problem_page(title, detail), kHtml);
    response.set_header("Cache-Control", "no-store");
}

void SiteServer::answer_home(httplib::Response& response) {
    const auto games = store_.all_games();
    if (!games) {
        answer_problem(response, 503, "The scores cannot be read just now",
                       "Please try again in a moment.");
        return;
    }
    response.set_content(home_page(*games), kHtml);
    response.set_header("Cache-Control", "no-cache");
}

void SiteServer::answer_upload(const httplib::Request& request, httplib::Response& response) {
    // A GET changes the scores here because that is what the launcher sends;
    // a HEAD, which checks links, must not.
    if (request.method != "GET") {
        answer_problem(response, 405, "Uploads come as GET requests", "Nothing was recorded.");
        response.set_header("Allow", "GET");
        return;
    }
    if (!limiter_.allow(request.remote_addr, Clock::now())) {
        answer_problem(response, 429, "Too many uploads",
                       "This site takes at most " + std::to_string(limiter_.limit()) +
                           " uploads a minute from one address. Nothing was recorded; "
                           "please try again in a minute.");
        response.set_header("Retry-After", "60");
        return;
    }
    const UploadQuery query = parse_upload_query(raw_query(request.target));
    switch (query.outcome) {
    case UploadQuery::Outcome::Refused:
        answer_problem(response, 400, "That upload could not be recorded",
                       query.problem + " Nothing was recorded.");
        return;
    case UploadQuery::Outcome::NothingToRecord: {
        const auto top = store_.top(query.upload.game);
        if (!top) break;
        response.set_content(nothing_to_record_page(query.upload.game, *top), kHtml);
        response.set_header("Cache-Control", "no-store");
        return;
    }
    case UploadQuery::Outcome::Valid: {
        const auto recorded = store_.record(query.upload, unix_seconds_now());
        if (!recorded) break;
        response.set_content(thanks_page(query.upload, *recorded), kHtml);
        response.set_header("Cache-Control", "no-store");
        return;
    }
    }
    answer_problem(response, 503, "The scores cannot be written just now",
                   "Nothing was recorded. Please try again in a moment.");
}

void SiteServer::answer_scores_api(const httplib::Request& request, httplib::Response& response) {
    response.set_header("Cache-Control", "no-cache");
    if (!request.has_param("game")) {
        const auto games = store_.all_games();
        if (!games) {
            response.status = 503;
            response.set_content(error_json("The scores cannot be read just now."), kJson);
            return;
        }
        response.set_content(all_games_json(*games), kJson);
        return;
    }
    const std::string game = request.get_param_value("game");
    std::string problem;
    if (!check_game_name(game, problem)) {
        response.status = 400;
        response.set_content(error_json(problem), kJson);
        return;
    }
    auto top = store_.top(game);
    if (!top) {
        response.status = 503;
        response.set_content(error_json("The scores cannot be read just now."), kJson);
        return;
    }
    response.set_content(game_scores_json({game, std::move(*top)}), kJson);
}

int SiteServer::bind(std::string& problem) {
    const int port =
        options_.port == 0
            ? server_.bind_to_any_port(options_.listen_address)
            : (server_.bind_to_port(options_.listen_address, options_.port) ? options_.port : -1);
    if (port >= 0) server_.widen_backlog();
    if (port < 0)
        problem = "cannot listen on " + options_.listen_address + " port " +
                  std::to_string(options_.port) + " (in use, or not an address of this machine)";
    return port;
}

bool SiteServer::run() {
    return server_.listen_after_bind();
}

void SiteServer::stop() {
    server_.stop();
}

} // namespace ludora::site
