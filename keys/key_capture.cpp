// The capture worker. It watches every virtual key through the asynchronous key state: the first key
// whose up/down state differs from the snapshot taken at the click, or that was tapped between two
// samples, is captured. The worker reports to the dialog only by posting messages.
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

void TakeSample(KeySample& sample) {
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        sample.state[vk] = GetAsyncKeyState(vk);
}

int WaitForChangedKey(const CaptureRequest& request, const KeySnapshot& snapshot) {
    return RunCaptureSchedule(
        [] { return static_cast<uint32_t>(GetTickCount()); }, [] { Sleep(SampleIntervalMs); },
        [&](int step) {
            PostMessageW(request.dialog, WM_CAPTURE_COUNTDOWN, static_cast<WPARAM>(request.buttonId), step);
        },
        [&] {
            KeySample now;
            TakeSample(now);
            return ChangedKey(snapshot, now, CountTaps);
        });
}

} // namespace

DWORD WINAPI CaptureKey(void* parameter) {
    CaptureRequest* handed = static_cast<CaptureRequest*>(parameter);
    const CaptureRequest request = *handed;
    delete handed;

    KeyCode* target = CaptureTarget(request.buttonId);
    KeySample atClick;
    TakeSample(atClick);
    int vk = WaitForChangedKey(request, SnapshotOf(atClick));
    LPARAM result = 0;
    if (vk >= 0) {
        CapturedKey captured = KeyCodeFromVirtualKey(static_cast<unsigned>(vk), request.keyboardLayout);
        if (target != nullptr)
            WriteShared(*target, captured.code);
        result = CaptureFinishedWithKey | static_cast<LPARAM>(captured.scanValue & 0xFFFF);
    }
    PostMessageW(request.dialog, WM_CAPTURE_FINISHED, static_cast<WPARAM>(request.buttonId), result);
    return 0;
}

bool StartCapture(const CaptureRequest& request) {
    CaptureRequest* copy = new CaptureRequest(request);
    HANDLE thread = CreateThread(nullptr, 0, CaptureKey, copy, 0, nullptr);
    if (thread == nullptr) {
        delete copy;
        return false;
    }
    CloseHandle(thread);
    return true;
}
