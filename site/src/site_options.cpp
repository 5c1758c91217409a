// The command line of ludora-site.
#include "site_options.h"

#include "client_address.h"
#include "game_name.h"

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

// "any", or game names separated by commas.
bool parse_games(std::string_view text, std::vector<std::string>& games, std::string& problem) {
    games.clear();
    if (text == "any") return true;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(',', start), text.size());
        const std::string game(text.substr(start, end - start));
        if (!check_game_name(game, problem)) {
            problem = "--games: \"" + game + "\": " + problem;
            return false;
        }
        games.push_back(game);
        start = end + 1;
    }
    return true;
}

struct NumberOption {
    std::string_view name;
    int SiteOptions::*field;
    int low;
    int high;
    const char* wants;
};

constexpr NumberOption kNumberOptions[] = {
    {"--port", &SiteOptions::port, 0, 65535, "a number from 0 to 65535"},
    {"--rate-limit", &SiteOptions::uploads_per_minute, 0, 1000000, "a number of uploads a minute"},
    {"--max-games", &SiteOptions::max_games, 0, 1000000, "a number of games"},
    {"--max-rows-per-game", &SiteOptions::max_rows_per_game, 1, 100000000, "a number of rows"},
    {"--max-db-mb", &SiteOptions::max_db_mb, 1, 1000000, "a number of megabytes"},
    {"--purge-private-after", &SiteOptions::purge_private_after_days, 1, 100000,
     "a number of days"},
    {"--db-connections", &SiteOptions::db_connections, 1, 64, "a number from 1 to 64"},
    {"--connections-per-address", &SiteOptions::connections_per_address, 0, 100000,
     "a number of connections"},
    {"--request-timeout", &SiteOptions::request_timeout_seconds, 1, 3600, "a number of seconds"},
    {"--idle-timeout", &SiteOptions::idle_timeout_seconds, 1, 3600, "a number of seconds"},
};

} // namespace

const char* site_usage() {
    return "usage: ludora-site [OPTIONS]\n"
           "       ludora-site --copy-db FROM TO\n"
           "  --listen ADDR              address to listen on (default 127.0.0.1)\n"
           "  --port N                   port to listen on, 0 for any free one (default 8080)\n"
           "  --db WHERE                 SQLite file, or PostgreSQL as postgresql://... or\n"
           "                             \"key=value ...\" (default site.db)\n"
           "  --rate-limit N             uploads a minute from one client address (an IPv6\n"
           "                             /64), 0 for no limit (default 30)\n"
           "  --games LIST               games whose scores are kept, separated by commas,\n"
           "                             or \"any\" (default Pearlwreck)\n"
           "  --max-games N              with --games any: games kept at most, 0 for no cap\n"
           "                             (default 64)\n"
           "  --max-rows-per-game N      scores kept for each game (default 1000)\n"
           "  --max-db-mb N              size of the scores at most (default 256)\n"
           "  --purge-private-after DAYS clear stored addresses and e-mails older than\n"
           "                             that (default 365)\n"
           "  --db-connections N         database connections (default 4)\n"
           "  --trusted-proxy ADDR       a reverse proxy whose last X-Forwarded-For hop names\n"
           "                             the client; may be given several times\n"
           "  --connections-per-address N  open connections from one address, 0 for no cap\n"
           "                             (default 32)\n"
           "  --request-timeout SECONDS  time for a whole request (default 10)\n"
           "  --idle-timeout SECONDS     time a kept-alive connection may wait (default 15)\n"
           "  --web-root DIR             the browser build to serve at /play/ (default:\n"
           "                             build-web/dist beside the build folder, when there)\n"
           "  --copy-db FROM TO          copy every score from one database to another\n";
}

OptionsOutcome parse_site_options(int argc, char** argv, SiteOptions& options,
                                  std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") return OptionsOutcome::ShowHelp;
        const int values = option == "--copy-db" ? 2 : 1;
        if (i + values >= argc) {
            problem = std::string(option) +
                      (option.starts_with("--") ? " needs a value" : ": unknown argument");
            return OptionsOutcome::Refused;
        }
        const std::string_view value = argv[++i];
        if (value.empty()) {
            problem = std::string(option) + " needs a value";
            return OptionsOutcome::Refused;
        }
        const NumberOption* number = nullptr;
        for (const NumberOption& candidate : kNumberOptions)
            if (candidate.name == option) number = &candidate;
        if (number) {
            if (!parse_whole_number(value, number->low, number->high, options.*number->field)) {
                problem = std::string(option) + " wants " + number->wants + ", not \"" +
                          std::string(value) + "\"";
                return OptionsOutcome::Refused;
            }
        } else if (option == "--listen") {
            options.listen_address = value;
        } else if (option == "--db") {
            options.database = value;
        } else if (option == "--web-root") {
            options.web_root = value;
        } else if (option == "--games") {
            if (!parse_games(value, options.games, problem)) return OptionsOutcome::Refused;
        } else if (option == "--trusted-proxy") {
            if (limit_key(value).empty()) {
                problem = "--trusted-proxy wants an IP address, not \"" + std::string(value) + "\"";
                return OptionsOutcome::Refused;
            }
            options.trusted_proxies.emplace_back(value);
        } else if (option == "--copy-db") {
            options.copy_from = value;
            options.copy_to = argv[++i];
        } else {
            problem = std::string(option) + ": unknown argument";
            return OptionsOutcome::Refused;
        }
    }
    return OptionsOutcome::Run;
}

} // namespace ludora::site
