// The site's HTTP/1.1 service on libmicrohttpd.
#include "http_service.h"

#include "client_address.h"
#include "request_log.h"

#include <microhttpd.h>

#include <chrono>
#include <strings.h>
#include <netdb.h>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace ludora::site {

namespace {

using Clock = std::chrono::steady_clock;

// A route that sets a header of its own (a folder's own policy) replaces the default one.
bool answer_sets_header(const HttpAnswer& answer, const std::string& name) {
    for (const auto& header : answer.headers)
        if (header.first.size() == name.size() &&
            strncasecmp(header.first.data(), name.data(), name.size()) == 0)
            return true;
    return false;
}

constexpr unsigned kEventThreads = 2;
constexpr unsigned kMostConnections = 4000;
// Room for the largest head the site reads (8 KB) and the library's own
// bookkeeping; a head that does not fit is refused with 431 as it arrives,
// so a flood of header lines is never read in full.
constexpr size_t kConnectionMemory = 16384;
constexpr unsigned kSilenceBackstopSeconds = 60;

HttpService& service(void* cls) {
    return *static_cast<HttpService*>(cls);
}

ConnectionWatch::Connection* watched(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<ConnectionWatch::Connection*>(info->socket_context) : nullptr;
}

std::string peer_address(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info ? address_text(info->client_addr) : std::string();
}

size_t declared_body_bytes(const HttpRequest& request) {
    const std::string length = request.header("Content-Length");
    size_t bytes = 0;
    for (const char c : length) {
        if (c < '0' || c > '9' || bytes > kLargestRequest) return kLargestRequest + 1;
        bytes = bytes * 10 + static_cast<size_t>(c - '0');
    }
    return bytes;
}

// The status for a request refused before its route sees it, or 0.
int refusal_before_routing(const HttpRequest& request, size_t head_bytes) {
    if (request.path.size() + request.query.size() > kLargestRequest) return 414;
    if (head_bytes > kLargestRequest || request.headers.size() > kMostHeaderLines) return 431;
    if (head_bytes + declared_body_bytes(request) > kLargestRequest) return 413;
    return 0;
}

} // namespace

struct HttpService::Request {
    Clock::time_point began = Clock::now();
    std::string target; // as sent, query included
    std::string client;
    std::string method;
    std::string path;
    std::optional<HttpRequest> request; // once its head is read
    std::optional<HttpAnswer> ready;    // left by an answer worker
    bool answered = false;
    int status = 0;
    size_t bytes = 0;
};

void HttpService::log_request(const Request& state, const std::string& client) {
    const double milliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - state.began).count();
    write_log_line(request_log_line(client, state.method, state.path, state.status, state.bytes,
                                    milliseconds));
}

HttpService::HttpService(HttpServiceSetup setup)
    : setup_(std::move(setup)), watch_(setup_.limits), workers_(setup_.answer_threads) {}

HttpService::~HttpService() {
    workers_.finish();
    if (daemon_) MHD_stop_daemon(daemon_);
    if (listener_ >= 0) ::close(listener_);
}

int HttpService::bind(std::string& problem) {
    // Each held connection is a descriptor.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    problem = "cannot listen on " + setup_.listen_address + " port " + std::to_string(setup_.port) +
              " (in use, or not an address of this machine)";
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (getaddrinfo(setup_.listen_address.c_str(), std::to_string(setup_.port).c_str(), &hints,
                    &found) != 0)
        return -1;
    for (addrinfo* a = found; a && listener_ < 0; a = a->ai_next) {
        const int socket = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (socket < 0) continue;
        // Not SO_REUSEPORT: a second site on the same port must be told it is taken.
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(socket, a->ai_addr, a->ai_addrlen) == 0 && ::listen(socket, SOMAXCONN) == 0)
            listener_ = socket;
        else
            ::close(socket);
    }
    freeaddrinfo(found);
    if (listener_ < 0) return -1;
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &size);
    problem.clear();
    return bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

bool HttpService::run() {
    const auto may_connect = [](void* cls, const sockaddr* peer, socklen_t) {
        return service(cls).watch_.may_connect(peer) ? MHD_YES : MHD_NO;
    };
    const auto on_request = [](void* cls, MHD_Connection* connection, const char* path,
                               const char* method, const char*, const char*, size_t* body_bytes,
                               void** slot) {
        return static_cast<MHD_Result>(
            service(cls).on_request(connection, path, method, body_bytes, slot));
    };
    const auto request_line_read = [](void* cls, const char* target, MHD_Connection* connection) {
        service(cls).watch_.request_began(watched(connection));
        auto* state = new Request;
        state->target = target ? target : "";
        return static_cast<void*>(state);
    };
    const auto request_done = [](void* cls, MHD_Connection* connection, void** slot,
                                 MHD_RequestTerminationCode) {
        std::unique_ptr<Request> state(static_cast<Request*>(*slot));
        *slot = nullptr;
        service(cls).watch_.request_ended(watched(connection));
        // A request the library refused itself (a head too large or unreadable)
        // or one its client left before the answer.
        if (state && !state->answered) log_request(*state, peer_address(connection));
    };
    const auto connection_event = [](void* cls, MHD_Connection* connection, void** context,
                                     MHD_ConnectionNotificationCode event) {
        ConnectionWatch& watch = service(cls).watch_;
        if (event == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* fd =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            const MHD_ConnectionInfo* peer =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            *context = watch.opened(fd ? fd->connect_fd : -1, peer ? peer->client_addr : nullptr);
        } else {
            watch.closed(static_cast<ConnectionWatch::Connection*>(*context));
            *context = nullptr;
        }
    };
    using UriLog = void* (*)(void*, const char*, MHD_Connection*);
    using Completed = void (*)(void*, MHD_Connection*, void**, MHD_RequestTerminationCode);
    using Notify = void (*)(void*, MHD_Connection*, void**, MHD_ConnectionNotificationCode);
    daemon_ = MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME, 0,
        static_cast<MHD_AcceptPolicyCallback>(may_connect), this,
        static_cast<MHD_AccessHandlerCallback>(on_request), this, MHD_OPTION_LISTEN_SOCKET,
        listener_, MHD_OPTION_THREAD_POOL_SIZE, kEventThreads, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        kConnectionMemory, MHD_OPTION_CONNECTION_LIMIT, kMostConnections,
        MHD_OPTION_CONNECTION_TIMEOUT, kSilenceBackstopSeconds, MHD_OPTION_URI_LOG_CALLBACK,
        static_cast<UriLog>(request_line_read), this, MHD_OPTION_NOTIFY_COMPLETED,
        static_cast<Completed>(request_done), this, MHD_OPTION_NOTIFY_CONNECTION,
        static_cast<Notify>(connection_event), this, MHD_OPTION_END);
    if (!daemon_) return false;
    listener_ = -1; // the library's now
    {
        std::unique_lock lock(stop_mutex_);
        stop_wake_.wait(lock, [this] { return stop_asked_; });
    }
    // No new connections; then the answers under way are finished, so no
    // connection stays suspended when the library stops.
    const MHD_socket listening = MHD_quiesce_daemon(daemon_);
    workers_.finish();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
    if (listening != MHD_INVALID_SOCKET) ::close(listening); // quiescing handed it back
    return true;
}

void HttpService::stop() {
    {
        std::lock_guard lock(stop_mutex_);
        stop_asked_ = true;
    }
    stop_wake_.notify_all();
}

HttpRequest HttpService::read_request(MHD_Connection* connection, const char* path,
                                      const char* method, const Request& state) const {
    HttpRequest request;
    request.method = method;
    request.path = path;
    const size_t mark = state.target.find('?');
    if (mark != std::string::npos) request.query = state.target.substr(mark + 1);
    const auto collect = [](void* cls, MHD_ValueKind, const char* name, const char* value) {
        static_cast<HeaderLines*>(cls)->emplace_back(name, value ? value : "");
        return MHD_YES;
    };
    MHD_get_connection_values(connection, MHD_HEADER_KIND,
                              static_cast<MHD_KeyValueIterator>(collect), &request.headers);
    request.client = forwarded_client(peer_address(connection), setup_.limits.trusted_proxies,
                                      request.header("X-Forwarded-For"));
    return request;
}

// The library calls this once the head is read, once for each piece of the
// body and once more when the request is whole; an answer queued before that
// last call would make it close the connection.
int HttpService::on_request(MHD_Connection* connection, const char* path, const char* method,
                            size_t* body_bytes, void** slot) {
    auto* state = static_cast<Request*>(*slot);
    if (!state) return MHD_NO;
    if (state->ready) {
        HttpAnswer answer = std::move(*state->ready);
        state->ready.reset();
        return send(connection, *state, std::move(answer));
    }
    if (state->answered || *body_bytes > 0) {
        *body_bytes = 0; // no route reads a body; it is dropped
        return MHD_YES;
    }
    if (!state->request) {
        state->request = read_request(connection, path, method, *state);
        const HttpRequest& request = *state->request;
        state->method = request.method;
        state->path = request.path;
        state->client = request.client;
        size_t head_bytes = request.method.size() + state->target.size() + 13;
        for (const auto& [name, value] : request.headers)
            head_bytes += name.size() + value.size() + 4;
        // Refused before the body comes; the connection then closes.
        if (const int refused = refusal_before_routing(request, head_bytes)) {
            HttpAnswer answer = setup_.refusal(refused);
            answer.close = true;
            return send(connection, *state, std::move(answer));
        }
        return MHD_YES;
    }
    const HttpRequest& request = *state->request;
    if (request.method == "GET" || request.method == "HEAD") {
        const bool posted = workers_.post([connection] { MHD_suspend_connection(connection); },
                                          [this, connection, state] {
                                              state->ready = answer(*state->request);
                                              MHD_resume_connection(connection);
                                          });
        if (posted) return MHD_YES;
    }
    return send(connection, *state, answer(request));
}

// A route that fails (out of memory) costs its own request only.
HttpAnswer HttpService::answer(const HttpRequest& request) const {
    try {
        return setup_.answer(request);
    } catch (...) {
        HttpAnswer failed = setup_.refusal(500);
        failed.close = true;
        return failed;
    }
}

int HttpService::send(MHD_Connection* connection, Request& state, HttpAnswer answer) {
    MHD_Response* response = MHD_create_response_from_buffer(answer.body.size(), answer.body.data(),
                                                             MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    for (const auto& [name, value] : setup_.headers_of_every_answer)
        if (!answer_sets_header(answer, name))
            MHD_add_response_header(response, name.c_str(), value.c_str());
    for (const auto& [name, value] : answer.headers)
        MHD_add_response_header(response, name.c_str(), value.c_str());
    if (!answer.content_type.empty())
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE,
                                answer.content_type.c_str());
    if (answer.close) MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
    state.answered = true;
    state.status = answer.status;
    state.bytes = answer.body.size();
    // Written as the answer leaves, so whoever reads the log after an answer finds its line.
    log_request(state, state.client);
    return queued;
}

} // namespace ludora::site
