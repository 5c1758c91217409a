// ludora-site: the maker's web site, where the launcher's hall of fame sends
// its top score, and where everyone can see every game's top twenty.
#include "score_store.h"
#include "signal_stop.h"
#include "site_options.h"
#include "site_server.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

using namespace ludora::site;

namespace {

// The storage options, taken out of the arguments before the others are read.
bool take_store_options(std::vector<char*>& arguments, StoreOptions& store,
                        std::vector<std::string>& copy, std::string& problem) {
    std::vector<char*> rest;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view option = arguments[i];
        const bool known = option == "--db-connections" || option == "--max-games" ||
                           option == "--max-rows-per-game" || option == "--max-db-mb" ||
                           option == "--purge-private-after" || option == "--copy-db";
        if (!known) {
            rest.push_back(arguments[i]);
            continue;
        }
        const size_t values = option == "--copy-db" ? 2 : 1;
        if (i + values >= arguments.size()) {
            problem = std::string(option) + " needs a value";
            return false;
        }
        if (values == 2) {
            copy = {arguments[i + 1], arguments[i + 2]};
            i += 2;
            continue;
        }
        char* end = nullptr;
        const long long number = std::strtoll(arguments[++i], &end, 10);
        if (*end || number < 0 || number > 1000000000) {
            problem = std::string(option) + " takes a whole number";
            return false;
        }
        if (option == "--db-connections")
            store.connections = static_cast<int>(std::max(1LL, number));
        if (option == "--max-games") store.max_games = static_cast<int>(number);
        if (option == "--max-rows-per-game") store.max_rows_per_game = static_cast<int>(number);
        if (option == "--max-db-mb") store.max_db_bytes = number << 20;
        if (option == "--purge-private-after")
            store.purge_private_after_days = static_cast<int>(number);
    }
    arguments = rest;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    SiteOptions options;
    StoreOptions store_options;
    std::vector<std::string> copy;
    std::string problem;
    std::vector<char*> arguments(argv, argv + argc);
    if (!take_store_options(arguments, store_options, copy, problem)) {
        std::fprintf(stderr, "ludora-site: %s\n%s", problem.c_str(), site_usage());
        return 2;
    }
    if (!copy.empty()) {
        if (!copy_score_store(copy[0], copy[1], store_options, problem)) {
            std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
            return 1;
        }
        std::fprintf(stderr, "ludora-site: copied the scores of %s into %s\n", copy[0].c_str(),
                     copy[1].c_str());
        return 0;
    }
    switch (parse_site_options(static_cast<int>(arguments.size()), arguments.data(), options,
                               problem)) {
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

    const auto store = open_score_store(options.database, store_options, problem);
    if (!store) {
        std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
        return 1;
    }
    SiteServer server(*store, options);
    const int port = server.bind(problem);
    if (port < 0) {
        std::fprintf(stderr, "ludora-site: %s\n", problem.c_str());
        return 1;
    }
    std::fprintf(stderr, "ludora-site: listening on http://%s:%d, scores in %s\n",
                 options.listen_address.c_str(), port,
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
