// The capture's worker thread: a clock, a pause and the countdown's messages for keys/key_capture.h.
#include "keys/key_capture_win.h"

#include "keys/keyboard_win.h"
#include "settings/settings.h"

namespace {

#ifdef ORVANE_BENCH_SINGLE_SAMPLE
// Only for the benchmark that compares with the first design: one reading per step, taps unseen.
constexpr DWORD ReadingIntervalMs = 100;
constexpr bool CountTaps = false;
#else
// The keyboard is read every 10 ms or so (a timer tick where sleeps are coarser), and a key pressed
// and released between two readings still counts, so short taps are seen.
constexpr DWORD ReadingIntervalMs = 10;
constexpr bool CountTaps = true;
#endif

struct Worker {
    HWND dialog;
    int buttonId;
    CaptureJob job;
};

uint32_t Now() {
    return static_cast<uint32_t>(GetTickCount());
}

void Pause() {
    Sleep(ReadingIntervalMs);
}

DWORD WINAPI CaptureKey(void* parameter) {
    const Worker worker = *static_cast<Worker*>(parameter);
    delete static_cast<Worker*>(parameter);
    auto post = [&](UINT message, LPARAM value) {
        PostMessageW(worker.dialog, message, static_cast<WPARAM>(worker.buttonId), value);
    };
    int code =
        RunCapture(worker.job, {Now, Pause, [&](int left) { post(WM_CAPTURE_COUNTDOWN, left); }, CountTaps});
    CloseKeyboardReader(worker.job.reader);
    LPARAM result = CaptureResultOfSequence(worker.job.sequence);
    if (code == CaptureWasStopped)
        result |= CaptureStopped;
    else if (code >= 0)
        result |= CaptureFinishedWithKey | static_cast<LPARAM>(code);
    post(WM_CAPTURE_FINISHED, result);
    return 0;
}

} // namespace

// The reader opens here, on the dialog's thread, so a key that goes down while the thread starts is
// kept for it.
bool StartCapture(const CaptureRequest& request, bool fromCarry) {
    if (!KeyboardIsOpen() && !OpenKeyboard(request.dialog)) {
        gShowWarning(CouldNotOpenKeyboardWarning);
        return false;
    }
    CaptureJob job = {request.target, request.sequence, fromCarry, OpenKeyboardReader()};
    Worker* worker = new Worker{request.dialog, request.buttonId, job};
    HANDLE thread = CreateThread(nullptr, 0, CaptureKey, worker, 0, nullptr);
    if (thread == nullptr) {
        CloseKeyboardReader(worker->job.reader);
        delete worker;
        return false;
    }
    CloseHandle(thread);
    return true;
}
