// Two installations of the real program on one shared folder, A and B, with two sessions synced. A's
// store, its sync state or both are put back from a copy made before A's third session, and A makes a
// fourth: both end with the four sessions once each (A takes its third in again from its own change
// file), and still so once both have started again and synced.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/core/cloud_sync_manager.h"
#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_date.h"
#include "tests/shell/desktop_test.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;
using quorvel::testing::DesktopUser;
using quorvel::testing::ShellProcess;
using Identifiers = std::vector<std::string>;

// How long an installation may take to store a session, or to receive one through the folder.
constexpr auto kPatience = 20s;

// What is put back from the copy.
enum class PutBack { store, syncState, both };

const char* nameOf(PutBack putBack) {
    switch (putBack) {
        case PutBack::store:
            return "TheStoreAlone";
        case PutBack::syncState:
            return "TheSyncStateAlone";
        case PutBack::both:
            return "Both";
    }
    return "";
}

void PrintTo(PutBack putBack, std::ostream* out) {
    *out << nameOf(putBack);
}

// The identifiers of the sessions the store holds, sorted, one per row; none while it cannot be read.
std::optional<Identifiers> sessionsIn(const fs::path& store) {
    std::optional<Identifiers> identifiers;
    sqlite3* db = nullptr;
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT uniqueIdentifier FROM Session ORDER BY uniqueIdentifier", -1, &rows,
                           nullptr) == SQLITE_OK) {
        identifiers.emplace();
        int rc;
        while ((rc = sqlite3_step(rows)) == SQLITE_ROW)
            identifiers->push_back(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)));
        if (rc != SQLITE_DONE) identifiers.reset();
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    return identifiers;
}

// One installation: the real program on a data root of its own and the shared folder, on the desktop.
class Installation {
public:
    Installation(std::string name, fs::path root, fs::path cloud)
        : name_(std::move(name)), root_(std::move(root)), cloud_(std::move(cloud)) {}

    const std::string& name() const { return name_; }
    ShellProcess& app() { return *app_; }
    bool running() const { return app_ && !exited_; }

    fs::path storeFolder() const {
        return root_ / "Library" / "Application Support" /
               platform::NSBundle::mainBundle()->bundleIdentifier();
    }
    fs::path stateFolder() const {
        return storeFolder() / ".store.sqlite.ensembles" / quorvel::CloudSyncManager::kEnsembleIdentifier;
    }
    Identifiers sessions() const {
        return sessionsIn(storeFolder() / "store.sqlite").value_or(Identifiers{});
    }

    // The next start shows a one-minute focus session with a moment left, standing, the first-run
    // guidance seen; once it ends, no break starts by itself.
    void prepareSession() const {
        platform::DataRoot::setPath(root_);
        platform::NSUserDefaults::resetAllForTesting();
        for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
        for (const auto& value :
             {P::focusLength(1), P::autoRestart(false), P::latestTimerType(quorvel::SessionType::focus),
              P::sharedLatestTimerType(quorvel::SessionType::focus), P::remainingRoundTime(0.02),
              P::sharedRemainingRoundTime(0.02), P::sessionWholeLength(60000.0)})
            P::save(value);
        for (const auto& value :
             {T::launchedOnce(true), T::checkedDate(platform::NSDate::now()),
              T::needResumeTimerWhenLaunching(false), T::latestTimerStartedDate(std::nullopt),
              T::lastSessionChangeNotificationDate(std::nullopt)})
            T::save(value);
        quorvel::testing::markGuidanceSeen();  // writes the files
    }

    // Started on the desktop, its window the topmost, once it has drawn and its launch's sync has
    // ended: a session saved during a merge would wait for the next one.
    void start(const std::string& display, DesktopUser& user) {
        app_ = std::make_unique<ShellProcess>(
            display, root_, std::vector<std::string>{"--device", "iPhone8", "--orientation", "portrait"},
            ShellProcess::Environment{{"QUORVEL_CLOUD", cloud_.string()}});
        exited_ = false;
        EXPECT_TRUE(app_->waitForLine("frame 1")) << name_ << ":\n" << app_->transcript();
        window_ = user.waitForWindow(app_->pid(), 10s).value_or(0);
        EXPECT_NE(window_, 0u) << name_ << ":\n" << app_->transcript();
        EXPECT_TRUE(app_->waitForLine("sync ended")) << name_ << ":\n" << app_->transcript();
    }

    // The prepared session started with a click on the play button.
    void play(DesktopUser& user) {
        user.click(window_, 187, 405);
        EXPECT_TRUE(app_->waitForLine("touch ended")) << name_ << ":\n" << app_->transcript();
    }

    // The window closed as a person does; the program must end cleanly.
    void quit(DesktopUser& user) {
        user.requestClose(window_);
        EXPECT_EQ(app_->waitForExit(), 0) << name_ << ":\n" << app_->transcript();
        exited_ = true;
    }

private:
    std::string name_;
    fs::path root_, cloud_;
    std::unique_ptr<ShellProcess> app_;
    DesktopUser::Window window_ = 0;
    bool exited_ = true;
};

class RestoredStoreWindow : public quorvel::testing::DesktopTest,
                            public ::testing::WithParamInterface<PutBack> {
protected:
    RestoredStoreWindow() : a_("A", root.path(), cloud()), b_("B", other_.path(), cloud()) {}

    fs::path cloud() const { return root.path().string() + "-cloud"; }

    // Polls until `holds`, reading what the running programs say meanwhile; false once the patience
    // is spent.
    bool until(const std::function<bool()>& holds) {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (!holds()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            for (auto* installation : {&a_, &b_}) {
                if (installation->running()) installation->app().drain();
            }
            std::this_thread::sleep_for(50ms);
        }
        return true;
    }

    // Whether the installation holds each of `expected`.
    static bool holdsAll(const Installation& installation, const Identifiers& expected) {
        const auto held = installation.sessions();
        return std::all_of(expected.begin(), expected.end(), [&](const auto& one) {
            return std::find(held.begin(), held.end(), one) != held.end();
        });
    }

    // Starts the prepared session on a running installation and answers the session it stored: the one
    // no installation held before.
    std::string makeSession(Installation& installation) {
        installation.play(*user);
        std::string made;
        const bool stored = until([&] {
            for (const auto& identifier : installation.sessions()) {
                if (std::find(known_.begin(), known_.end(), identifier) == known_.end()) made = identifier;
            }
            return !made.empty();
        });
        EXPECT_TRUE(stored) << installation.name() << " stored no session:\n"
                            << installation.app().transcript();
        if (!stored) return made;
        known_.push_back(made);
        std::sort(known_.begin(), known_.end());
        return made;
    }

    // Both hold every session made, each once and nothing else.
    void expectEverySessionOnceOnBoth(const std::string& when) {
        EXPECT_TRUE(until([&] { return holdsAll(a_, known_) && holdsAll(b_, known_); }))
            << when << ": A holds " << a_.sessions().size() << " and B " << b_.sessions().size() << " of "
            << known_.size() << " sessions\nA:\n"
            << (a_.running() ? a_.app().transcript() : "");
        EXPECT_EQ(a_.sessions(), known_) << when << ", on A";
        EXPECT_EQ(b_.sessions(), known_) << when << ", on B";
    }

    // A's store, or its sync state as it was, copied aside while A is not running.
    void copyAside() {
        fs::create_directories(backup_.path() / "state");
        const auto copied = fs::copy_options::overwrite_existing;
        fs::copy_file(a_.storeFolder() / "store.sqlite", backup_.path() / "store.sqlite", copied);
        for (const auto* file : {"state.sqlite", "state.sqlite-wal"}) {
            if (fs::exists(a_.stateFolder() / file))
                fs::copy_file(a_.stateFolder() / file, backup_.path() / "state" / file, copied);
        }
    }

    // Put back as the parameter says: the store alone (its journal files gone), the sync state alone
    // (as it was, with its journal), or both.
    void putBack() {
        const auto copied = fs::copy_options::overwrite_existing;
        if (GetParam() != PutBack::syncState) {
            for (const auto* file : {"store.sqlite-wal", "store.sqlite-shm"})
                fs::remove(a_.storeFolder() / file);
            fs::copy_file(backup_.path() / "store.sqlite", a_.storeFolder() / "store.sqlite", copied);
        }
        if (GetParam() != PutBack::store) {
            for (const auto* file : {"state.sqlite-wal", "state.sqlite-shm"})
                fs::remove(a_.stateFolder() / file);
            for (const auto& file : fs::directory_iterator(backup_.path() / "state"))
                fs::copy_file(file.path(), a_.stateFolder() / file.path().filename(), copied);
        }
    }

    quorvel::testing::TempDataRoot other_, backup_;
    Installation a_, b_;
    Identifiers known_;
};

}  // namespace

TEST_P(RestoredStoreWindow, BothInstallationsKeepEverySessionOnce) {
    a_.prepareSession();
    b_.prepareSession();
    a_.start(display->name(), *user);
    makeSession(a_);
    b_.start(display->name(), *user);  // its window over A's
    makeSession(b_);
    expectEverySessionOnceOnBoth("synced");
    a_.quit(*user);
    copyAside();

    a_.prepareSession();
    a_.start(display->name(), *user);
    const auto third = makeSession(a_);
    ASSERT_TRUE(until([&] { return holdsAll(b_, {third}); })) << "B never got A's third session";
    a_.quit(*user);

    putBack();
    a_.prepareSession();
    a_.start(display->name(), *user);
    makeSession(a_);
    expectEverySessionOnceOnBoth("after the fourth session");

    a_.quit(*user);
    b_.quit(*user);
    a_.start(display->name(), *user);
    b_.start(display->name(), *user);
    a_.quit(*user);
    b_.quit(*user);
    expectEverySessionOnceOnBoth("after both started again");
}

INSTANTIATE_TEST_SUITE_P(PutBack, RestoredStoreWindow,
                         ::testing::Values(PutBack::store, PutBack::syncState, PutBack::both),
                         [](const auto& info) { return nameOf(info.param); });
