// The command line of ludora-site.
#include "site_options.h"

#include <charconv>
#include <string_view>

namespace ludora::site {

namespace {

bool parse_whole_number(std::string_view text, int low, int high, int& value) {
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    if (parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

} // namespace

const char* site_usage() {
    return "usage: ludora-site [--listen ADDR] [--port N] [--db FILE] [--rate-limit N]\n"
           "  --listen ADDR     address to listen on (default 127.0.0.1)\n"
           "  --port N          port to listen on, 0 for any free one (default 8080)\n"
           "  --db FILE         SQLite file that keeps the scores (default site.db)\n"
           "  --rate-limit N    uploads a minute from one client address, 0 for no limit\n"
           "                    (default 30)\n"
           "  --web-root DIR    the browser build to serve at /play/ (default: build-web/dist\n"
           "                    beside the build folder, when it is there)\n";
}

OptionsOutcome parse_site_options(int argc, char** argv, SiteOptions& options,
                                  std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") return OptionsOutcome::ShowHelp;
        if (i + 1 >= argc) {
            problem = std::string(option) +
                      (option.starts_with("--") ? " needs a value" : ": unknown argument");
            return OptionsOutcome::Refused;
        }
        const std::string_view value = argv[++i];
        if (option == "--listen") {
            options.listen_address = value;
        } else if (option == "--port") {
            if (!parse_whole_number(value, 0, 65535, options.port)) {
                problem =
                    "--port wants a number from 0 to 65535, not \"" + std::string(value) + "\"";
                return OptionsOutcome::Refused;
            }
        } else if (option == "--web-root") {
            options.web_root = value;
        } else if (option == "--db") {
            options.database = value;
        } else if (option == "--rate-limit") {
            if (!parse_whole_number(value, 0, 1000000, options.uploads_per_minute)) {
                problem = "--rate-limit wants a number of uploads a minute, not \"" +
                          std::string(value) + "\"";
                return OptionsOutcome::Refused;
            }
        } else {
            problem = std::string(option) + ": unknown argument";
            return OptionsOutcome::Refused;
        }
        if (value.empty()) {
            problem = std::string(option) + " needs a value";
            return OptionsOutcome::Refused;
        }
    }
    return OptionsOutcome::Run;
}

} // namespace ludora::site
