#include "tests/soak/life_entry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>

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
    // Only what it makes now is news for the walk: the rest came from the shared folder.
    const auto store = CoreDataManager::shared();
    std::set<std::string> before;
    for (const auto& session : store->fetchAllSessions()) before.insert(session->uniqueIdentifier());
    for (int i = 0; i < sessions; ++i) {
        store->insertSession(25, SessionType::focus, platform::NSDate(start - (sessions - i) * 1800.0));
    }
    LifeReport made;
    made.now = start;
    for (const auto& session : store->fetchAllSessions()) {
        if (before.contains(session->uniqueIdentifier())) continue;
        made.added.push_back(
            {session->uniqueIdentifier(),
             session->timestamp() ? session->timestamp()->timeIntervalSinceReferenceDate() : -1,
             session->duration()});
    }
    life.perform({WalkStep::Kind::sync, 0});
    const auto checked = life.answer();
    life.quit();
    // What it holds once it has synced: all of it, as its first report lists everything.
    if (checked.report) {
        for (const auto& session : checked.report->added) made.held.push_back(session.identifier);
        made.twice = checked.report->twice;
    }
    answer(checked.report ? LifeAnswer{made, "", ""} : checked);
    return 0;
}

}  // namespace quorvel::soak
