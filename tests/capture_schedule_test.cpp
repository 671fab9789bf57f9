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

TEST(CaptureSchedule, TenSecondsInHundredStepsWhateverASleepLasts) {
    for (double sleepMs : {15.625, 10.0}) {
        SCOPED_TRACE(sleepMs);
        FakeClock clock{0, sleepMs};
        std::vector<Shown> shown;
        double end = RunWithoutKey(clock, shown);
        ExpectStepsInOrderAndOnTime(shown, sleepMs + 1);
        EXPECT_GE(end, 10000);
        EXPECT_LE(end, 10000 + sleepMs + 1);
    }
}

TEST(CaptureSchedule, AJumpOfTheClockShowsTheMissedStepsAndKeepsTheEnd) {
    FakeClock clock{0, 10, 2005, 3300};
    std::vector<Shown> shown;
    double end = RunWithoutKey(clock, shown);
    ExpectStepsInOrderAndOnTime(shown, 3300 + 11);
    EXPECT_GE(end, 10000);
    EXPECT_LE(end, 10011);
}

} // namespace
