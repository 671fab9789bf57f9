#include "dialog/capture_sequence.h"

#include "dialog/clash_marks.h"
#include "dialog/fallback_captions.h"
#include "dialog/key_fields.h"
#include "keys/capture_target.h"
#include "keys/key_capture.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <vector>

namespace {

constexpr int CaptureButtonCount = IDC_EXIT_CAPTURE - IDC_STANDARD_CAPTURE_FIRST + 1;

// The dialog thread's own state besides gRunningSequence, which only it writes.
// Each step of a sequence runs under a number of its own, so that a skip can stop one step alone.
uint8_t gNumber = 0;
std::vector<int> gOrder;
size_t gNext = 0;
// Whether the step before ended with a key: the next one then starts from the sample that found it.
bool gCarryValid = false;
bool gSingleCaptureRuns[CaptureButtonCount] = {};

bool IsCaptureButton(int id) {
    return id >= IDC_STANDARD_CAPTURE_FIRST && id <= IDC_EXIT_CAPTURE;
}

void EnableCaptureButtons(HWND dialog, bool enabled) {
    for (int id = IDC_STANDARD_CAPTURE_FIRST; id <= IDC_EXIT_CAPTURE; ++id)
        if (HWND button = GetDlgItem(dialog, id))
            EnableWindow(button, enabled && !gSingleCaptureRuns[id - IDC_STANDARD_CAPTURE_FIRST]);
}

// No control keeps the focus while the sequence runs, where Space would click it; when it ends the
// focus goes to "依序設定", so a keyboard user has a control to start from. Either way the focus
// moves before the control that had it is disabled (跳過 after a click on it).
void ShowRunning(HWND dialog, bool running) {
    if (running)
        SetFocus(nullptr);
    else
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_ASSIGN_ALL)),
                     TRUE);
    SetDlgItemTextW(dialog, IDC_ASSIGN_ALL, ShownCaption(running ? L"停止" : L"依序設定"));
    EnableCaptureButtons(dialog, !running);
    EnableWindow(GetDlgItem(dialog, IDC_MAHJONG_GAME), !running);
    EnableWindow(GetDlgItem(dialog, IDC_SKIP), running);
}

// A new number for the next step; the step that ran stops once it sees it.
void NextNumber() {
    gNumber = static_cast<uint8_t>(gNumber == 255 ? 1 : gNumber + 1);
    WriteShared(gRunningSequence, gNumber);
}

// A click on 停止 or 跳過 gave it the focus, where Space would click it.
bool StartNextStep(HWND dialog) {
    SetFocus(nullptr);
    return StartCapture({dialog, gOrder[gNext], gNumber}, gCarryValid);
}

void StartStepOrStop(HWND dialog) {
    if (++gNext == gOrder.size() || !StartNextStep(dialog))
        StopSequence(dialog);
}

} // namespace

bool SequenceRuns() {
    return ReadShared(gRunningSequence) != 0;
}

bool CaptureRuns() {
    if (SequenceRuns())
        return true;
    for (bool runs : gSingleCaptureRuns)
        if (runs)
            return true;
    return false;
}

void StartSequence(HWND dialog) {
    gOrder = InputButtons();
    gNext = 0;
    gCarryValid = false;
    NextNumber();
    ShowRunning(dialog, true);
    if (!StartNextStep(dialog))
        StopSequence(dialog);
}

void StopSequence(HWND dialog) {
    if (!SequenceRuns())
        return;
    WriteShared(gRunningSequence, 0);
    if (IsWindow(dialog))
        ShowRunning(dialog, false);
}

void NoteSingleCapture(int button, bool running) {
    if (IsCaptureButton(button))
        gSingleCaptureRuns[button - IDC_STANDARD_CAPTURE_FIRST] = running;
}

void OnSequenceStepFinished(HWND dialog, int button, LPARAM result) {
    if (result & CaptureStopped) {
        // The input keeps its key, and its field shows it again in place of the countdown.
        if (const KeyCode* target = CaptureTarget(button))
            ShowKeyName(dialog, KeyFieldOfButton(button), ReadShared(*target));
        return;
    }
    if (SequenceOfCaptureResult(result) != ReadShared(gRunningSequence) || gOrder[gNext] != button)
        return;
    gCarryValid = (result & CaptureFinishedWithKey) != 0;
    if (!gCarryValid) {
        StopSequence(dialog);
        return;
    }
    NextNumber();
    StartStepOrStop(dialog);
}

// The next step takes a snapshot of its own: no key ended the skipped one.
void SkipSequenceStep(HWND dialog) {
    if (!SequenceRuns())
        return;
    ClearInputKey(dialog, gOrder[gNext]);
    gCarryValid = false;
    NextNumber();
    StartStepOrStop(dialog);
}
