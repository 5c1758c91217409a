#include "web_root.h"

#include <cstdio>
#include <sys/stat.h>

namespace ludora::site {

namespace {

constexpr const char* kPlayPolicy =
    "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; worker-src 'self'; "
    "connect-src 'self'; style-src 'self'; img-src 'self'; base-uri 'none'; "
    "form-action 'none'; frame-ancestors 'none'";

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const char* content_type(const std::string& file) {
    if (ends_with(file, ".html")) return "text/html; charset=utf-8";
    if (ends_with(file, ".js")) return "text/javascript; charset=utf-8";
    if (ends_with(file, ".wasm")) return "application/wasm";
    if (ends_with(file, ".css")) return "text/css; charset=utf-8";
    return "application/octet-stream";
}

// Letters, digits, '.', '-', '_' and '/', with no ".." and no hidden files.
bool safe_relative(const std::string& relative) {
    for (char c : relative) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_' || c == '/';
        if (!plain) return false;
    }
    return relative.find("..") == std::string::npos && relative.find("/.") == std::string::npos &&
           (relative.empty() || relative[0] != '.');
}

bool read_file(const std::string& path, std::string& out, struct stat& info) {
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    out.resize(static_cast<size_t>(info.st_size));
    const bool whole = std::fread(out.data(), 1, out.size(), file) == out.size();
    std::fclose(file);
    return whole;
}

StaticAnswer plain(int status, const std::string& text) {
    StaticAnswer answer;
    answer.status = status;
    answer.body = text;
    answer.headers = {{"Content-Type", "text/plain; charset=utf-8"}, {"Cache-Control", "no-store"}};
    return answer;
}

} // namespace

std::optional<StaticAnswer> answer_play_path(const std::string& web_root,
                                             const StaticRequest& request) {
    const std::string& path = request.path;
    if (path != "/play" && path.rfind("/play/", 0) != 0) return std::nullopt;
    if (web_root.empty()) return plain(404, "The browser version is not installed on this site.\n");
    // A folder's page is its index; a folder named without its slash is sent to it,
    // so the page's relative addresses resolve inside it.
    if (path == "/play") {
        StaticAnswer answer = plain(301, "");
        answer.headers.emplace_back("Location", "/play/");
        return answer;
    }
    std::string relative = path.substr(6);
    struct stat info;
    if (relative.empty() || ends_with(relative, "/")) {
        relative += "index.html";
    } else if (safe_relative(relative) && ::stat((web_root + "/" + relative).c_str(), &info) == 0 &&
               S_ISDIR(info.st_mode)) {
        StaticAnswer answer = plain(301, "");
        answer.headers.emplace_back("Location", path + "/");
        return answer;
    }
    if (!safe_relative(relative)) return plain(404, "There is no such file.\n");
    const std::string file = web_root + "/" + relative;
    const bool gzip = request.accept_encoding.find("gzip") != std::string::npos;
    StaticAnswer answer;
    bool compressed = gzip && read_file(file + ".gz", answer.body, info);
    if (!compressed && !read_file(file, answer.body, info))
        return plain(404, "There is no such file.\n");
    char tag[64];
    std::snprintf(tag, sizeof tag, "\"%llx-%llx%s\"", static_cast<unsigned long long>(info.st_size),
                  static_cast<unsigned long long>(info.st_mtime), compressed ? "-gz" : "");
    answer.headers = {
        {"Content-Type", content_type(relative)},
        // Names stay the same from one build to the next: the browser asks again each time.
        {"Cache-Control", "no-cache"},
        {"ETag", tag},
        {"Vary", "Accept-Encoding"},
        {"Cross-Origin-Opener-Policy", "same-origin"},
        {"Cross-Origin-Embedder-Policy", "require-corp"},
        {"Cross-Origin-Resource-Policy", "same-origin"},
        {"Content-Security-Policy", kPlayPolicy},
    };
    if (compressed) answer.headers.emplace_back("Content-Encoding", "gzip");
    if (request.if_none_match == tag) {
        answer.status = 304;
        answer.body.clear();
    }
    return answer;
}

std::string default_web_root(const std::string& program) {
    const size_t slash = program.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : program.substr(0, slash);
    const std::string candidate = folder + "/../../build-web/dist";
    struct stat info;
    if (::stat((candidate + "/index.html").c_str(), &info) == 0) return candidate;
    return std::string();
}

} // namespace ludora::site
