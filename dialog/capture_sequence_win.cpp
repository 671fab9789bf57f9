#include "dialog/capture_sequence_win.h"

#include "dialog/fallback_captions_win.h"
#include "dialog/key_fields_win.h"
#include "keys/key_capture_win.h"
#include "resources/resource.h"

#include <algorithm>
#include <vector>

namespace {

// The dialog thread's own state besides gRunningSequence, which only it writes.
// Each step of a sequence runs under a number of its own, so that a skip can stop one step alone.
uint8_t gNumber = 0;
std::span<const LayoutInput> gOrder;
size_t gNext = 0;
// Whether the step before ended with a key: the next one then starts from the sample that found it.
bool gCarryValid = false;
// The capture buttons whose single captures run.
std::vector<int> gSingleCaptures;

bool SingleCaptureRuns(int button) {
    return std::find(gSingleCaptures.begin(), gSingleCaptures.end(), button) != gSingleCaptures.end();
}

// Both layouts' buttons: a single capture that ends while a sequence runs leaves its button, which
// may be the other layout's, to the sequence's end.
void EnableCaptureButtons(HWND dialog, bool enabled) {
    for (LayoutKind layout : {StandardLayout, MahjongLayout})
        for (const LayoutInput& input : InputsOf(layout))
            EnableWindow(GetDlgItem(dialog, input.captureButton),
                         enabled && !SingleCaptureRuns(input.captureButton));
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
    const LayoutInput& input = gOrder[gNext];
    return StartCapture({dialog, input.captureButton, &KeyOf(gSettings, input), gNumber}, gCarryValid);
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
    return SequenceRuns() || !gSingleCaptures.empty();
}

void StartSequence(HWND dialog) {
    gOrder = CurrentInputs();
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
    if (running)
        gSingleCaptures.push_back(button);
    else
        std::erase(gSingleCaptures, button);
}

void OnSequenceStepFinished(HWND dialog, int button, LPARAM result) {
    if (result & CaptureStopped) {
        // The input keeps its key, and its field shows it again in place of the countdown.
        if (const LayoutInput* input = InputOfAnyControl(button))
            ShowInputKey(dialog, *input);
        return;
    }
    if (SequenceOfCaptureResult(result) != ReadShared(gRunningSequence) ||
        gOrder[gNext].captureButton != button)
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
