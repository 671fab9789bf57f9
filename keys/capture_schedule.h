// The timing of one key capture: the countdown and the end follow the time that has passed since
// the snapshot, not the number of sleeps. A sleep lasts at least one timer tick (15.6 ms by default
// on Windows, whatever other programs ask for since Windows 10 2004), so counting ten 10 ms sleeps
// per step would stretch the promised ten seconds to about sixteen.
#pragma once

#include <cstdint>

inline constexpr int CaptureSteps = 100;
inline constexpr uint32_t CaptureStepMs = 100;
inline constexpr uint32_t CaptureLengthMs = CaptureSteps * CaptureStepMs;

// The step due once `elapsed` ms have passed: 100 at the start, down to 1 from 9.9 s on.
constexpr int CaptureStepAt(uint32_t elapsed) {
    return elapsed >= CaptureLengthMs ? 1 : CaptureSteps - static_cast<int>(elapsed / CaptureStepMs);
}

// Shows every step in order as its time comes, calls `sample` as often as `pause` allows, and ends
// CaptureLengthMs after the start. `now` is a millisecond clock that may wrap around (GetTickCount
// does after 49.7 days). `sample` gives -1 while it finds nothing; anything else ends the schedule
// and is returned. Returns -1 when the time is up.
template <typename Now, typename Pause, typename ShowStep, typename Sample>
int RunCaptureSchedule(Now now, Pause pause, ShowStep showStep, Sample sample) {
    const uint32_t start = now();
    int shown = CaptureSteps + 1;
    for (;;) {
        uint32_t elapsed = now() - start;
        for (int due = CaptureStepAt(elapsed); shown > due;)
            showStep(--shown);
        if (elapsed >= CaptureLengthMs)
            return -1;
        int found = sample();
        if (found != -1)
            return found;
        pause();
    }
}
