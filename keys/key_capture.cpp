#include "keys/key_capture.h"

#include "keys/capture_schedule.h"

uint8_t gRunningSequence = 0;
StepCarry gSequenceCarry = {};

namespace {

// What a reading gives while it finds no key.
constexpr int NothingYet = -1;

bool IsStopped(const CaptureJob& job) {
    return job.sequence != 0 && ReadShared(gRunningSequence) != job.sequence;
}

// The carry is read and written a byte at a time by the two threads.
void CopyShared(StepCarry& to, const StepCarry& from) {
    for (int code = 0; code < KeyCodeCount; ++code) {
        WriteShared(to.snapshot.state[code], ReadShared(from.snapshot.state[code]));
        WriteShared(to.sample.state[code], ReadShared(from.sample.state[code]));
    }
}

// The step's first reading is its snapshot, or the carry. A reading that fails counts as none: the
// step looks again at the reading before, which finds no change a second time.
struct Step {
    StepCarry keys = {};
    bool started = false;
    bool carried = false;
};

bool Start(Step& step, const CaptureJob& job) {
    if (job.fromCarry) {
        CopyShared(step.keys, gSequenceCarry);
        step.carried = true;
    } else if (ReadKeyboard(job.reader, step.keys.sample)) {
        step.keys.snapshot = step.keys.sample;
    } else {
        return false;
    }
    return step.started = true;
}

int LookForKey(Step& step, const CaptureJob& job, ChangeRules rules) {
    if (IsStopped(job))
        return CaptureWasStopped;
    if (!step.started && !Start(step, job))
        return NothingYet;
    KeySample now;
    if (!step.carried && ReadKeyboard(job.reader, now))
        step.keys.sample = now;
    step.carried = false;
    int code = ChangedKey(step.keys.snapshot, step.keys.sample, rules);
    if (code >= 0 && job.sequence != 0)
        CopyShared(gSequenceCarry, CarryToNextStep(step.keys.snapshot, step.keys.sample, code));
    return code;
}

} // namespace

int RunCapture(const CaptureJob& job, const CaptureCalls& calls) {
    ChangeRules rules = job.sequence != 0 ? SequenceStepRules : SingleCaptureRules;
    rules.countTaps = calls.countTaps;
    Step step;
    int code = RunCaptureSchedule(calls.now, calls.pause, calls.showStep,
                                  [&] { return LookForKey(step, job, rules); });
    if (code == CaptureWasStopped || (code >= 0 && IsStopped(job)))
        return CaptureWasStopped;
    if (code >= 0)
        WriteShared(*job.target, static_cast<KeyCode>(code));
    return code;
}
