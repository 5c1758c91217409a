// ludora-site: the maker's web site, where the launcher's hall of fame sends
// its top score, and where everyone can see every game's top twenty.
#include "score_store.h"
#include "signal_stop.h"
#include "site_options.h"
#include "web_root.h"
#include "site_server.h"

#include <cstdio>

using namespace ludora::site;

namespace {

StoreOptions store_options(const SiteOptions& options) {
    StoreOptions store;
    // A list of games is a cap of its own.
    store.max_games = options.games.empty() ? options.max_games : 0;
    store.max_rows_per_game = options.max_rows_per_game;
    store.max_db_bytes = int64_t{options.max_db_mb} << 20;
    store.purge_private_after_days = options.purge_private_after_days;
    store.connections = options.db_connections;
    return store;
}

} // namespace

int main(int argc, char** argv) {
    // Before anything else, and before any thread exists, so that a stop
    // asked for in the first moments waits for the site instead of being lost
    // and every thread leaves the signals to the one that waits for them.
    SignalStop signals;

    SiteOptions options;
    std::string problem;
    switch (parse_site_options(argc, argv, options, problem)) {
    case OptionsOutcome::ShowHelp:
        std::fputs(site_usage(), stdout);
        return 0;
    case OptionsOutcome::Refused:
        std::fprintf(stderr, "ludora-site: %s\n%s", problem.c_str(), site_usage());
        return 2;
    case OptionsOutcome::Run:
        break;
    }

    if (!options.copy_from.empty()) {
        if (!copy_score_store(options.copy_from, options.copy_to, store_options(options),
                              problem)) {
            std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
            return 1;
        }
        std::fprintf(stderr, "ludora-site: copied the scores of %s to %s\n",
                     options.copy_from.c_str(), options.copy_to.c_str());
        return 0;
    }

    const std::unique_ptr<ScoreStore> store =
        open_score_store(options.database, store_options(options), problem);
    if (!store) {
        std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
        return 1;
    }
    if (options.web_root.empty()) options.web_root = default_web_root(argv[0]);
    SiteServer server(*store, options);
    const int port = server.bind(problem);
    if (port < 0) {
        std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
        return 1;
    }
    const bool six = options.listen_address.find(':') != std::string::npos;
    std::fprintf(stderr, "ludora-site: listening on http://%s%s%s:%d, scores in %s\n",
                 six ? "[" : "", options.listen_address.c_str(), six ? "]" : "", port,
                 database_description(options.database).c_str());
    signals.start([&server] { server.stop(); });
    const bool served = server.run();
    signals.finish();
    if (signals.received() != 0) {
        std::fprintf(stderr, "ludora-site: stopped\n");
        return 0;
    }
    std::fprintf(stderr, "ludora-site: the service ended %s\n",
                 served ? "unexpectedly" : "on a failure");
    return 1;
}
