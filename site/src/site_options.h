// What ludora-site is told on its command line.
#pragma once

#include <string>

namespace ludora::site {

struct SiteOptions {
    std::string listen_address = "127.0.0.1";
    int port = 8080; // 0 picks a free port, which the start-up line names
    std::string database = "site.db";
    int uploads_per_minute = 30; // for each client address; 0 lifts the limit
    std::string web_root;        // the browser build served at /play/; empty: none
};

enum class OptionsOutcome { Run, ShowHelp, Refused };

// Fills options from argv; on Refused, problem says which argument was wrong.
OptionsOutcome parse_site_options(int argc, char** argv, SiteOptions& options,
                                  std::string& problem);

const char* site_usage();

} // namespace ludora::site
