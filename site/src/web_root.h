// The programs' browser build served from a folder (ludora-site --web-root):
// /play/ is the launcher's page, /play/pearlwreck/ the game's. Every answer
// carries what the pages need and nothing more: cross-origin isolation (the
// programs' threads share memory), a Content-Security-Policy that lets them
// compile WebAssembly and start workers, revalidated caching, and the gzip
// copy made at build time when the browser takes it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ludora::site {

struct StaticAnswer {
    int status = 200;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers; // Content-Type among them
};

struct StaticRequest {
    std::string path;            // as requested, without the query
    std::string accept_encoding; // the Accept-Encoding header
    std::string if_none_match;   // the If-None-Match header
};

// The answer for a path under /play; nullopt for any other path.
std::optional<StaticAnswer> answer_play_path(const std::string& web_root,
                                             const StaticRequest& request);

// build-web/dist beside the build folder of `program` (.../build/bin/ludora-site)
// when it is there; empty otherwise.
std::string default_web_root(const std::string& program);

} // namespace ludora::site
