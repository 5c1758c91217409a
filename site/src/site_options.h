// What ludora-site is told on its command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ludora::site {

struct SiteOptions {
    std::string listen_address = "127.0.0.1";
    int port = 8080; // 0 picks a free port, which the start-up line names
    // A SQLite file, or a PostgreSQL address (postgresql://..., postgres://...
    // or "key=value" words), passed on as it is.
    std::string database = "site.db";
    int uploads_per_minute = 30;                     // for each client address; 0 lifts the limit
    std::vector<std::string> games = {"Pearlwreck"}; // the suite's games; empty: any
    int max_games = 64;                              // when any game is accepted; 0: no cap
    int max_rows_per_game = 1000;
    int max_db_mb = 256;
    int purge_private_after_days = 365;
    int db_connections = 4;
    std::vector<std::string> trusted_proxies;
    int connections_per_address = 32;
    int request_timeout_seconds = 10;
    int idle_timeout_seconds = 15;
    std::string copy_from; // --copy-db FROM TO: copy the scores and end
    std::string copy_to;
    std::string web_root; // the browser build served at /play/; empty: none
};

enum class OptionsOutcome { Run, ShowHelp, Refused };

// Fills options from argv; on Refused, problem says which argument was wrong.
OptionsOutcome parse_site_options(int argc, char** argv, SiteOptions& options,
                                  std::string& problem);

const char* site_usage();

} // namespace ludora::site
