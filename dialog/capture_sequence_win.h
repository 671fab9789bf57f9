// Every input in one go: a click on "依序設定" captures the current layout's inputs in slot order,
// then the system and exit keys, each like a single capture. The next input starts as soon as a key
// is taken, and takes the next key that goes down, so keys pressed in a roll, or while another key is
// held, each land on their own input. The sequence ends after the exit key, when an input's time runs out, on
// "停止", or when the dialog ends.
#pragma once

#include <windows.h>

bool SequenceRuns();
// Whether a sequence or any single capture runs.
bool CaptureRuns();
void StartSequence(HWND dialog);
// With a null dialog (it is being destroyed) only the workers are told.
void StopSequence(HWND dialog);
// "跳過": the running input is left with no key (NoKey) and the next one starts; after the exit
// key the sequence ends.
void SkipSequenceStep(HWND dialog);

// A single capture started or ended on a capture button: the end of a sequence leaves its button
// disabled while it runs.
void NoteSingleCapture(int button, bool running);

// A capture that was a step of a sequence has ended; `result` as WM_CAPTURE_FINISHED carries it.
void OnSequenceStepFinished(HWND dialog, int button, LPARAM result);
