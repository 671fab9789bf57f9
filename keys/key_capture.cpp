// The capture worker. It reads the keyboard (keys/keyboard.h) every 10 ms or so and takes the first
// change against its snapshot, by the rules of keys/changed_key.h. The worker reports to the dialog
// only by posting messages.
#include "keys/key_capture.h"

#include "keys/capture_schedule.h"
#include "keys/capture_target.h"
#include "keys/changed_key.h"
#include "keys/keyboard.h"
#include "settings/settings.h"

namespace {

#ifdef ORVANE_BENCH_SINGLE_SAMPLE
// Only for the benchmark that compares with the first design: one sample per step, taps unseen.
constexpr DWORD SampleIntervalMs = 100;
constexpr bool CountTaps = false;
#else
// The keyboard is sampled every 10 ms or so (a timer tick where sleeps are coarser), and a key
// pressed and released between two samples still counts, so short taps are seen.
constexpr DWORD SampleIntervalMs = 10;
constexpr bool CountTaps = true;
#endif

// Ends a step of a sequence that is no longer running.
constexpr int Stopped = -2;

bool IsStopped(const CaptureRequest& request) {
    return request.sequence != 0 && ReadShared(gRunningSequence) != request.sequence;
}

uint32_t Now() {
    return static_cast<uint32_t>(GetTickCount());
}

// The carry is read and written a byte at a time by the two threads.
void CopyShared(StepCarry& to, const StepCarry& from) {
    for (int code = 0; code < KeyCodeCount; ++code) {
        WriteShared(to.snapshot.state[code], ReadShared(from.snapshot.state[code]));
        WriteShared(to.sample.state[code], ReadShared(from.sample.state[code]));
    }
}

struct CaptureJob {
    CaptureRequest request;
    bool fromCarry;
};

// The key code captured, -1 when the time ran out, Stopped when the sequence stopped. A step that
// starts from the step before looks at that step's sample before it takes one of its own.
int CaptureChangedKey(const CaptureJob& job) {
    const CaptureRequest& request = job.request;
    ChangeRules rules = request.sequence != 0 ? SequenceStepRules : SingleCaptureRules;
    rules.countTaps = CountTaps;
    StepCarry step = {};
    bool sampleCarried = job.fromCarry;
    if (sampleCarried) {
        CopyShared(step, gSequenceCarry);
    } else {
        ReadKeyboard(step.sample);
        step.snapshot = step.sample;
    }
    return RunCaptureSchedule(
        Now, [] { Sleep(SampleIntervalMs); },
        [&](int left) {
            PostMessageW(request.dialog, WM_CAPTURE_COUNTDOWN, static_cast<WPARAM>(request.buttonId), left);
        },
        [&] {
            if (IsStopped(request))
                return Stopped;
            if (!sampleCarried)
                ReadKeyboard(step.sample);
            sampleCarried = false;
            int code = ChangedKey(step.snapshot, step.sample, rules);
            if (code >= 0 && request.sequence != 0)
                CopyShared(gSequenceCarry, CarryToNextStep(step.snapshot, step.sample, code));
            return code;
        });
}

} // namespace

uint8_t gRunningSequence = 0;
StepCarry gSequenceCarry = {};

DWORD WINAPI CaptureKey(void* parameter) {
    CaptureJob* handed = static_cast<CaptureJob*>(parameter);
    const CaptureRequest request = handed->request;
    KeyCode* target = CaptureTarget(request.buttonId);
    int code = CaptureChangedKey(*handed);
    LPARAM result = CaptureResultOfSequence(request.sequence);
    if (code == Stopped || (code >= 0 && IsStopped(request))) {
        result |= CaptureStopped;
    } else if (code >= 0) {
        if (target != nullptr)
            WriteShared(*target, static_cast<KeyCode>(code));
        result |= CaptureFinishedWithKey | static_cast<LPARAM>(code);
    }
    delete handed;
    PostMessageW(request.dialog, WM_CAPTURE_FINISHED, static_cast<WPARAM>(request.buttonId), result);
    return 0;
}

bool StartCapture(const CaptureRequest& request, bool fromCarry) {
    if (!KeyboardIsOpen() && !OpenKeyboard(request.dialog)) {
        gShowWarning(CouldNotOpenKeyboardWarning);
        return false;
    }
    CaptureJob* job = new CaptureJob{request, fromCarry};
    HANDLE thread = CreateThread(nullptr, 0, CaptureKey, job, 0, nullptr);
    if (thread == nullptr) {
        delete job;
        return false;
    }
    CloseHandle(thread);
    return true;
}
