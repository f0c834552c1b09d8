#include "tests/soak/life_entry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/core/core_data_manager.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_date.h"
#include "tests/soak/app_life.h"

namespace quorvel::soak {

namespace {

void answer(const LifeAnswer& answer) {
    const std::string line = answer.text() + "\n";
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(4, line.data() + written, line.size() - written);
        if (n <= 0) std::_Exit(3);  // the walk is gone
        written += static_cast<std::size_t>(n);
    }
}

bool readLine(std::string& line) {
    line.clear();
    char c = 0;
    while (true) {
        const ssize_t n = ::read(3, &c, 1);
        if (n <= 0) return !line.empty();
        if (c == '\n') return true;
        line += c;
    }
}

// Stores the sessions stamped before `start` and lets them sync: the report that holds them, or the
// first invariant that failed.
LifeAnswer storeAndSync(AppLife& life, double start, int sessions) {
    // The first report holds what came from the shared folder: only what it makes after is news.
    if (auto before = life.answer(); !before.report) return before;
    const auto store = CoreDataManager::shared();
    for (int i = 0; i < sessions; ++i) {
        store->insertSession(25, SessionType::focus, platform::NSDate(start - (sessions - i) * 1800.0));
    }
    auto made = life.answer();
    if (!made.report) return made;
    life.perform({WalkStep::Kind::sync, 0});
    auto synced = life.answer();
    return synced.report ? made : synced;
}

}  // namespace

int LifeEntry::life(double start, const std::vector<std::string>& shellArguments) {
    // What the last life left must read back before this one reads it.
    if (auto problem = AppLife::checkFiles()) {
        answer(*problem);
        return 0;
    }
    AppLife life;
    if (auto problem = life.launch(start, shellArguments)) {
        answer(*problem);
        return 0;
    }
    answer(life.answer());
    std::string line;
    while (readLine(line)) {
        const auto step = WalkStep::parse(line);
        if (!step) return 2;
        if (step->endsLife()) break;
        life.perform(*step);
        answer(life.answer());
    }
    // Answered as the window closes: after the termination the store is closed, and what it left is
    // for the next life to find.
    const auto last = life.answer();
    life.quit();
    answer(last);
    return 0;
}

int LifeEntry::secondInstallation(const std::string& root, double start, int sessions) {
    platform::DataRoot::setPath(root);
    ::setenv("QUORVEL_HOME", root.c_str(), 1);
    AppLife life;
    if (auto problem = life.launch(start, {})) {
        answer(*problem);
        return 0;
    }
    const auto made = storeAndSync(life, start, sessions);
    life.quit();
    answer(made);
    return 0;
}

}  // namespace quorvel::soak
