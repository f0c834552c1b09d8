#include "platform/ensembles/arrival_debouncer.h"

#include <gtest/gtest.h>

#include "platform/foundation/clock.h"

using platform::ArrivalDebouncer;

namespace {

// A debouncer of half a second's quiet and three seconds' longest wait on the virtual clock, noting when
// each burst started and ended.
struct DebouncedArrivals {
    std::shared_ptr<platform::VirtualClock> clock = platform::VirtualClock::install(0);
    std::vector<double> starts, ends;
    std::shared_ptr<ArrivalDebouncer> debouncer = ArrivalDebouncer::create(
        0.5, 3.0, [this] { starts.push_back(clock->now()); }, [this] { ends.push_back(clock->now()); });

    void arriveEvery(double seconds, int times) {
        for (int i = 0; i < times; ++i) {
            debouncer->noteArrival();
            clock->advance(seconds);
        }
    }
};

}  // namespace

TEST(ArrivalDebouncer, ABurstIsAnnouncedOnceWhenTheFolderHasBeenQuiet) {
    DebouncedArrivals arrivals;
    arrivals.arriveEvery(0.25, 4);  // the last arrival at 0.75
    arrivals.clock->advance(5);
    EXPECT_EQ(arrivals.starts, std::vector<double>{0});
    EXPECT_EQ(arrivals.ends, std::vector<double>{1.25});
}

TEST(ArrivalDebouncer, AFileAfterTheQuietStartsANewBurst) {
    DebouncedArrivals arrivals;
    arrivals.arriveEvery(1.0, 3);
    EXPECT_EQ(arrivals.starts, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(arrivals.ends, (std::vector<double>{0.5, 1.5, 2.5}));
}

TEST(ArrivalDebouncer, AStreamThatNeverPausesIsStillAnnouncedAfterTheLongestWait) {
    DebouncedArrivals arrivals;
    arrivals.arriveEvery(0.25, 16);  // four seconds of arrivals, never half a second apart
    EXPECT_EQ(arrivals.starts, (std::vector<double>{0, 3}));
    EXPECT_EQ(arrivals.ends, std::vector<double>{3});
    arrivals.clock->advance(5);
    EXPECT_EQ(arrivals.ends, (std::vector<double>{3, 4.25}));
}

TEST(ArrivalDebouncer, NothingIsAnnouncedWithoutArrivalsOrOnceItIsGone) {
    DebouncedArrivals arrivals;
    arrivals.clock->advance(10);
    EXPECT_TRUE(arrivals.starts.empty());
    arrivals.debouncer->noteArrival();
    EXPECT_TRUE(arrivals.debouncer->inBurst());
    arrivals.debouncer.reset();
    arrivals.clock->advance(10);
    EXPECT_EQ(arrivals.starts.size(), 1u);
    EXPECT_TRUE(arrivals.ends.empty());
}
