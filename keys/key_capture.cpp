// The capture worker. It watches every virtual key through the asynchronous key state: the first key
// whose up/down state differs from the snapshot taken at the click, or that was tapped between two
// samples, is captured. The worker reports to the dialog only by posting messages.
#include "keys/key_capture.h"

#include "keys/capture_schedule.h"
#include "keys/capture_target.h"
#include "keys/key_codes.h"
#include "settings/settings.h"

namespace {

constexpr int VirtualKeyCount = 255;
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

// 0xFE while the key is down, 0 while it is up.
uint8_t KeyStateByte(SHORT asyncState) {
    return static_cast<uint8_t>(asyncState >> 14);
}

bool WasTappedSinceLastQuery(SHORT asyncState) {
    return (asyncState & 1) != 0;
}

struct Snapshot {
    uint8_t state[VirtualKeyCount];
};

void TakeSnapshot(Snapshot& snapshot) {
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        snapshot.state[vk] = KeyStateByte(GetAsyncKeyState(vk));
}

// The lowest-numbered virtual key that changed since the snapshot, or -1.
int FindChangedKey(const Snapshot& snapshot) {
    for (int vk = 0; vk < VirtualKeyCount; ++vk) {
        SHORT now = GetAsyncKeyState(vk);
        uint8_t state = KeyStateByte(now);
        if (state != snapshot.state[vk])
            return vk;
        if (CountTaps && state == 0 && snapshot.state[vk] == 0 && WasTappedSinceLastQuery(now))
            return vk;
    }
    return -1;
}

int WaitForChangedKey(const CaptureRequest& request, const Snapshot& snapshot) {
    return RunCaptureSchedule(
        [] { return static_cast<uint32_t>(GetTickCount()); }, [] { Sleep(SampleIntervalMs); },
        [&](int step) {
            PostMessageW(request.dialog, WM_CAPTURE_COUNTDOWN, static_cast<WPARAM>(request.buttonId), step);
        },
        [&] { return FindChangedKey(snapshot); });
}

} // namespace

DWORD WINAPI CaptureKey(void* parameter) {
    CaptureRequest* handed = static_cast<CaptureRequest*>(parameter);
    const CaptureRequest request = *handed;
    delete handed;

    KeyCode* target = CaptureTarget(request.buttonId);
    Snapshot snapshot;
    TakeSnapshot(snapshot);
    int vk = WaitForChangedKey(request, snapshot);
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
