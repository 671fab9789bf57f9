// The capture's countdown and end against clocks whose sleeps are exact, a Windows timer tick long,
// or interrupted by a jump of the clock.
#include "keys/capture_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A millisecond clock that starts close to wrapping around, as GetTickCount does after 49.7 days.
struct FakeClock {
    double elapsedMs = 0;
    double sleepMs;
    double jumpAtMs = -1; // the first sleep after this moment also jumps the clock
    double jumpMs = 0;
    uint32_t Now() const { return 0xFFFFF000u + static_cast<uint32_t>(elapsedMs); }
    void Sleep() {
        elapsedMs += sleepMs;
        if (jumpAtMs >= 0 && elapsedMs > jumpAtMs) {
            elapsedMs += jumpMs;
            jumpAtMs = -1;
        }
    }
};

struct Shown {
    int step;
    double atMs;
};

// Runs a capture in which no key is pressed; returns the end time and records every step shown.
double RunWithoutKey(FakeClock& clock, std::vector<Shown>& shown) {
    int result = RunCaptureSchedule([&] { return clock.Now(); }, [&] { clock.Sleep(); },
                                    [&](int step) {
                                        shown.push_back({step, clock.elapsedMs});
                                    },
                                    [] { return -1; });
    EXPECT_EQ(result, -1);
    return clock.elapsedMs;
}

void ExpectStepsInOrderAndOnTime(const std::vector<Shown>& shown, double lateByAtMost) {
    ASSERT_EQ(shown.size(), 100u);
    for (size_t i = 0; i < shown.size(); ++i) {
        int step = 100 - static_cast<int>(i);
        double due = 100.0 * (100 - step);
        EXPECT_EQ(shown[i].step, step);
        EXPECT_GE(shown[i].atMs, due) << "step " << step << " shown early";
        EXPECT_LE(shown[i].atMs, due + lateByAtMost) << "step " << step << " shown late";
    }
}

// Sleeps exact to the millisecond, a Windows timer tick long, or one of them interrupted by a jump of
// the clock (a suspended machine, a debugger): every step shows, in order and on time, and the end
// stays at ten seconds.
TEST(CaptureSchedule, TenSecondsInHundredStepsWhateverASleepLasts) {
    const std::pair<FakeClock, double> clocks[] = {// and how late a step may show
                                                   {{0, 10.0}, 11},
                                                   {{0, 15.625}, 16.625},
                                                   {{0, 10, 2005, 3300}, 3311}};
    for (auto [clock, lateByAtMost] : clocks) {
        SCOPED_TRACE(testing::Message() << clock.sleepMs << " ms sleeps, a jump of " << clock.jumpMs);
        std::vector<Shown> shown;
        double end = RunWithoutKey(clock, shown);
        ExpectStepsInOrderAndOnTime(shown, lateByAtMost);
        EXPECT_GE(end, 10000);
        EXPECT_LE(end, 10000 + clock.sleepMs + 1);
    }
}

} // namespace
