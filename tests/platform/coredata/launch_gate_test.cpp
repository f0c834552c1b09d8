#include "platform/coredata/launch_gate.h"

#include <gtest/gtest.h>

#include "platform/foundation/console.h"
#include "tests/platform/coredata/coredata_test_support.h"
#include "tests/support/temp_data_root.h"

using platform::LaunchGate;

namespace {

// A store of years of sessions, damaged inside, opened by a launch that has not shown its first frame.
// The gate is the whole process's: it is open again when the case ends, however the case ends.
struct LaunchOnALargeDamagedStore {
    quorvel::testing::TempDataRoot root;
    std::filesystem::path model = quorvel::testing::writeModel(root.path(), quorvel::testing::kNoteModelV1);
    std::filesystem::path file = root.path() / "store.sqlite";
    platform::Console::Capture console;
    std::shared_ptr<platform::NSManagedObjectContext> app;

    LaunchOnALargeDamagedStore() {
        quorvel::testing::writeLargeDamagedStore(model, file);
        EXPECT_GT(std::filesystem::file_size(file), 4u << 20);
        LaunchGate::hold();
        app = quorvel::testing::openContext(model, file);
        EXPECT_TRUE(app->persistentStoreCoordinator()->hasStore());
    }
    ~LaunchOnALargeDamagedStore() { LaunchGate::open(); }
    bool setAside() const { return std::filesystem::exists(root.path() / "store.sqlite.damaged-1"); }
};

}  // namespace

// A process that quits before its first frame closes its store at once, its check not begun; the next
// launch checks the file.
TEST(LaunchGate, AStoreClosedBeforeTheFirstFrameLeavesItsCheckToTheNextLaunch) {
    LaunchOnALargeDamagedStore launch;
    launch.app.reset();
    EXPECT_FALSE(LaunchGate::isOpen());
    EXPECT_FALSE(launch.console.contains("damaged"));
    LaunchGate::open();
    auto next = quorvel::testing::openContext(launch.model, launch.file);
    next->insertNewObjectForEntityForName("Note");
    EXPECT_TRUE(next->save());
    EXPECT_TRUE(launch.setAside());
}

// The check waits for the first frame, but a save during the launch cannot wait for it: the save
// opens the gate, and the damage is still set aside before it.
TEST(LaunchGate, ALargeDamagedStoreSavedDuringTheLaunchIsStillSetAsideFirst) {
    LaunchOnALargeDamagedStore launch;
    EXPECT_FALSE(LaunchGate::isOpen());
    launch.app->insertNewObjectForEntityForName("Note");
    EXPECT_TRUE(launch.app->save());
    EXPECT_TRUE(LaunchGate::isOpen());
    EXPECT_TRUE(launch.console.contains("damaged"));
    EXPECT_TRUE(launch.setAside());
    const auto notes = launch.app->executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("Note"));
    EXPECT_EQ(notes ? notes->size() : 0u, 1u);
}
