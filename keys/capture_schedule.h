// The timing of one key capture: the countdown and the end follow the time that has passed since
// the capture started, not the number of ticks. A timer fires a Windows timer tick (15.6 ms by
// default, whatever other programs ask for since Windows 10 2004) or more after it was due, so
// counting a hundred 100 ms ticks would stretch the promised ten seconds to about eleven.
#pragma once

#include <cstdint>

inline constexpr int CaptureSteps = 100;
inline constexpr uint32_t CaptureStepMs = 100;
inline constexpr uint32_t CaptureLengthMs = CaptureSteps * CaptureStepMs;

// The step due once `elapsed` ms have passed: 100 at the start, down to 1 from 9.9 s on. The clock
// may wrap around (GetTickCount does after 49.7 days): `elapsed` is a difference of two readings.
constexpr int CaptureStepAt(uint32_t elapsed) {
    return elapsed >= CaptureLengthMs ? 1 : CaptureSteps - static_cast<int>(elapsed / CaptureStepMs);
}
