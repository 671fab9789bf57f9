// The capture worker. It watches every virtual key through the asynchronous key state and takes the
// first change against its snapshot, by the rules of keys/changed_key.h. The worker reports to the
// dialog only by posting messages.
#include "keys/key_capture.h"

#include "keys/capture_schedule.h"
#include "keys/capture_target.h"
#include "keys/changed_key.h"
#include "keys/key_codes.h"
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

void TakeSample(KeySample& sample) {
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        sample.state[vk] = GetAsyncKeyState(vk);
}

bool IsStopped(const CaptureRequest& request) {
    return request.sequence != 0 && ReadShared(gRunningSequence) != request.sequence;
}

uint32_t Now() {
    return static_cast<uint32_t>(GetTickCount());
}

// A carried step, one byte per virtual key, each read and written whole by the two threads.
constexpr uint8_t CarriedSnapshotDown = 1, CarriedSampleDown = 2, CarriedSampleTapped = 4;
constexpr int16_t DownState = INT16_MIN;

void HandToNextStep(const StepCarry& carry) {
    for (int vk = 0; vk < VirtualKeyCount; ++vk) {
        int16_t sampled = carry.sample.state[vk];
        uint8_t packed = (carry.snapshot.state[vk] != 0 ? CarriedSnapshotDown : 0) |
                         (IsKeyDown(sampled) ? CarriedSampleDown : 0) |
                         ((sampled & 1) != 0 ? CarriedSampleTapped : 0);
        WriteShared(gSequenceCarry[vk], packed);
    }
}

StepCarry CarriedStep() {
    StepCarry carry;
    for (int vk = 0; vk < VirtualKeyCount; ++vk) {
        uint8_t packed = ReadShared(gSequenceCarry[vk]);
        carry.snapshot.state[vk] = (packed & CarriedSnapshotDown) != 0 ? KeyStateByte(DownState) : 0;
        carry.sample.state[vk] = static_cast<int16_t>(((packed & CarriedSampleDown) != 0 ? DownState : 0) |
                                                      ((packed & CarriedSampleTapped) != 0 ? 1 : 0));
    }
    return carry;
}

struct CaptureJob {
    CaptureRequest request;
    LayoutKeyCodes keyCodes;
    bool fromCarry;
};

// The virtual key captured, -1 when the time ran out, Stopped when the sequence stopped. A step that
// starts from the step before looks at that step's sample before it takes one of its own.
int CaptureChangedKey(const CaptureJob& job) {
    const CaptureRequest& request = job.request;
    ChangeRules rules = request.sequence != 0 ? SequenceStepRules : SingleCaptureRules;
    rules.countTaps = CountTaps;
    StepCarry step = {};
    bool sampleCarried = job.fromCarry;
    if (sampleCarried) {
        step = CarriedStep();
    } else {
        TakeSample(step.sample);
        step.snapshot = SnapshotOf(step.sample);
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
                TakeSample(step.sample);
            sampleCarried = false;
            int vk = ChangedKey(step.snapshot, step.sample, rules, job.keyCodes);
            if (vk >= 0 && request.sequence != 0)
                HandToNextStep(CarryToNextStep(step.snapshot, step.sample, vk));
            return vk;
        });
}

} // namespace

uint8_t gRunningSequence = 0;
uint8_t gSequenceCarry[VirtualKeyCount] = {};

DWORD WINAPI CaptureKey(void* parameter) {
    CaptureJob* handed = static_cast<CaptureJob*>(parameter);
    const CaptureRequest request = handed->request;
    KeyCode* target = CaptureTarget(request.buttonId);
    int vk = CaptureChangedKey(*handed);
    LPARAM result = CaptureResultOfSequence(request.sequence);
    if (vk == Stopped || (vk >= 0 && IsStopped(request))) {
        result |= CaptureStopped;
    } else if (vk >= 0) {
        CapturedKey captured = handed->keyCodes.keys[vk];
        if (target != nullptr)
            WriteShared(*target, captured.code);
        result |= CaptureFinishedWithKey | static_cast<LPARAM>(captured.scanValue & 0xFFFF);
    }
    delete handed;
    PostMessageW(request.dialog, WM_CAPTURE_FINISHED, static_cast<WPARAM>(request.buttonId), result);
    return 0;
}

// The key codes are worked out here, on the dialog's thread (255 mappings take well under a
// millisecond): Wine's X11 driver sets up a display connection for each thread that first asks for
// a key mapping, and workers doing that at once (every capture ending on the same key) corrupted
// its heap about one time in five.
bool StartCapture(const CaptureRequest& request, bool fromCarry) {
    CaptureJob* job = new CaptureJob{request, KeyCodesOfLayout(request.keyboardLayout), fromCarry};
    HANDLE thread = CreateThread(nullptr, 0, CaptureKey, job, 0, nullptr);
    if (thread == nullptr) {
        delete job;
        return false;
    }
    CloseHandle(thread);
    return true;
}
