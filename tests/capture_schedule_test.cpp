// The capture's countdown and end against clocks whose ticks come every 10 ms, a Windows timer tick
// apart, as a 100 ms timer fires them, or with a jump of the clock between two of them.
#include "keys/key_capture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A millisecond clock that starts close to wrapping around, as GetTickCount does after 49.7 days.
struct FakeClock {
    double elapsedMs = 0;
    double tickMs;
    double jumpAtMs = -1; // the first tick after this moment also jumps the clock
    double jumpMs = 0;
    uint32_t Now() const { return 0xFFFFF000u + static_cast<uint32_t>(elapsedMs); }
    void Tick() {
        elapsedMs += tickMs;
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

// Runs a capture in which no key is pressed; returns the time it ended and records every step shown.
double RunWithoutKey(FakeClock& clock, std::vector<Shown>& shown) {
    CaptureEvents events;
    StartSingleCapture(1, clock.Now(), NoKey, events);
    for (;;) {
        for (const CaptureEvent& event : events) {
            if (event.kind == CaptureTimedOut)
                return clock.elapsedMs;
            if (event.kind == CaptureCountdown)
                shown.push_back({event.value, clock.elapsedMs});
        }
        events.clear();
        clock.Tick();
        TickCaptures(clock.Now(), events);
    }
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

// Every step shows, in order and no later than one tick after it is due, and the end stays at ten
// seconds however late the ticks come, or when the clock jumps (a suspended machine, a debugger).
TEST(CaptureSchedule, TenSecondsInHundredStepsWhateverATickLasts) {
    const std::pair<FakeClock, double> clocks[] = {// and how late a step may show
                                                   {{0, 10.0}, 11},
                                                   {{0, 15.625}, 16.625},
                                                   {{0, 109.375}, 110.375},
                                                   {{0, 10, 2005, 3300}, 3311}};
    for (auto [clock, lateByAtMost] : clocks) {
        SCOPED_TRACE(testing::Message() << clock.tickMs << " ms ticks, a jump of " << clock.jumpMs);
        std::vector<Shown> shown;
        double end = RunWithoutKey(clock, shown);
        ExpectStepsInOrderAndOnTime(shown, lateByAtMost);
        EXPECT_GE(end, 10000);
        EXPECT_LE(end, 10000 + clock.tickMs + 1);
    }
}

} // namespace
