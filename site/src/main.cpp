// ludora-site: the maker's web site, where the launcher's hall of fame sends
// its top score, and where everyone can see every game's top twenty.
#include "score_store.h"
#include "signal_stop.h"
#include "site_options.h"
#include "web_root.h"
#include "site_server.h"

#include <cstdio>

using namespace ludora::site;

int main(int argc, char** argv) {
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

    // Before any thread exists, so that all of them leave the signals to it.
    SignalStop signals;

    ScoreStore store;
    if (!store.open(options.database, problem)) {
        std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
        return 1;
    }
    if (options.web_root.empty()) options.web_root = default_web_root(argv[0]);
    SiteServer server(store, options);
    const int port = server.bind(problem);
    if (port < 0) {
        std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
        return 1;
    }
    std::fprintf(stderr, "ludora-site: listening on http://%s:%d, scores in %s\n",
                 options.listen_address.c_str(), port, options.database.c_str());
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
