#include "keys/key_capture.h"

#include "keys/capture_schedule.h"

#include <algorithm>
#include <optional>

namespace {

bool NoDevice(KeySample&) {
    return false;
}

struct Capture {
    CaptureInput input;
    uint32_t startedAt;
    int shown; // the step shown last
    bool hasSnapshot;
    StepCarry keys; // the snapshot, and the reading looked at last
};

std::vector<Capture> gSingleCaptures;

struct Sequence {
    std::vector<CaptureInput> order;
    size_t next;
    Capture step;
};
std::optional<Sequence> gSequence;

Capture NewCapture(CaptureInput input, uint32_t now, bool inSequence, CaptureEvents& events) {
    events.push_back({CaptureCountdown, input, CaptureSteps, inSequence});
    return {input, now, CaptureSteps, false, {}};
}

// The key the capture takes from its reading, or -1.
int LookAgain(Capture& capture, ChangeRules rules) {
    return ChangedKey(capture.keys.snapshot, capture.keys.sample, rules);
}

int LookAt(Capture& capture, const KeySample& reading, ChangeRules rules) {
    capture.keys.sample = reading;
    if (capture.hasSnapshot)
        return LookAgain(capture, rules);
    capture.keys.snapshot = reading;
    capture.hasSnapshot = true;
    return -1;
}

void EndSequence(CaptureEvents& events) {
    gSequence.reset();
    events.push_back({SequenceEnded, 0, 0, true});
}

// False when the sequence ended instead, after its last input.
bool StartNextStep(uint32_t now, CaptureEvents& events) {
    if (++gSequence->next == gSequence->order.size()) {
        EndSequence(events);
        return false;
    }
    gSequence->step = NewCapture(gSequence->order[gSequence->next], now, true, events);
    return true;
}

// A step that takes a key hands the next step its snapshot and the reading, which the next step
// looks at at once: another key that went down in it is the next step's, so a roll of the hand
// lands on the inputs in turn.
void HandToSequence(const KeySample& reading, uint32_t now, CaptureEvents& events) {
    if (!gSequence)
        return;
    for (int key = LookAt(gSequence->step, reading, SequenceStepRules); key >= 0;
         key = LookAgain(gSequence->step, SequenceStepRules)) {
        events.push_back({CaptureKeyTaken, gSequence->step.input, key, true});
        StepCarry carry = CarryToNextStep(gSequence->step.keys.snapshot, gSequence->step.keys.sample, key);
        if (!StartNextStep(now, events))
            return;
        gSequence->step.keys = carry;
        gSequence->step.hasSnapshot = true;
    }
}

void HandToSingleCaptures(const KeySample& reading, CaptureEvents& events) {
    for (auto capture = gSingleCaptures.begin(); capture != gSingleCaptures.end();) {
        int key = LookAt(*capture, reading, SingleCaptureRules);
        if (key < 0) {
            ++capture;
            continue;
        }
        events.push_back({CaptureKeyTaken, capture->input, key, false});
        capture = gSingleCaptures.erase(capture);
    }
}

// Shows every step due, in order; true when the time is up. The time that passed decides, not the
// number of ticks, which come late by a timer's whole period.
bool ShowStepsDue(Capture& capture, uint32_t now, bool inSequence, CaptureEvents& events) {
    uint32_t elapsed = now - capture.startedAt;
    for (int due = CaptureStepAt(elapsed); capture.shown > due;)
        events.push_back({CaptureCountdown, capture.input, --capture.shown, inSequence});
    return elapsed >= CaptureLengthMs;
}

} // namespace

KeyboardDevice gKeyboardDevice = {NoDevice};

bool SingleCaptureRuns(CaptureInput input) {
    return std::any_of(gSingleCaptures.begin(), gSingleCaptures.end(),
                       [&](const Capture& capture) { return capture.input == input; });
}

bool SequenceRuns() {
    return gSequence.has_value();
}

bool AnyCaptureRuns() {
    return SequenceRuns() || !gSingleCaptures.empty();
}

void StartSingleCapture(CaptureInput input, uint32_t now, CaptureEvents& events) {
    if (!SingleCaptureRuns(input))
        gSingleCaptures.push_back(NewCapture(input, now, false, events));
}

void StartSequence(std::span<const CaptureInput> order, uint32_t now, CaptureEvents& events) {
    if (order.empty() || SequenceRuns())
        return;
    gSequence = Sequence{{order.begin(), order.end()}, 0, NewCapture(order[0], now, true, events)};
}

// The next step takes a snapshot of its own: no key ended the skipped one.
void SkipSequenceStep(uint32_t now, CaptureEvents& events) {
    if (!gSequence)
        return;
    events.push_back({CaptureSkipped, gSequence->step.input, 0, true});
    StartNextStep(now, events);
}

void StopSequence(CaptureEvents& events) {
    if (!gSequence)
        return;
    events.push_back({CaptureStopped, gSequence->step.input, 0, true});
    EndSequence(events);
}

void StopSingleCaptures(CaptureEvents& events) {
    for (const Capture& capture : gSingleCaptures)
        events.push_back({CaptureStopped, capture.input, 0, false});
    gSingleCaptures.clear();
}

void StopAllCaptures(CaptureEvents& events) {
    StopSequence(events);
    StopSingleCaptures(events);
}

bool ReadKeyboardIntoCaptures(uint32_t now, KeySample& reading, CaptureEvents& events) {
    reading = {};
    if (!gKeyboardDevice.read(reading))
        return false;
    HandToSingleCaptures(reading, events);
    HandToSequence(reading, now, events);
    return true;
}

void TickCaptures(uint32_t now, CaptureEvents& events) {
    for (auto capture = gSingleCaptures.begin(); capture != gSingleCaptures.end();) {
        if (!ShowStepsDue(*capture, now, false, events)) {
            ++capture;
            continue;
        }
        events.push_back({CaptureTimedOut, capture->input, 0, false});
        capture = gSingleCaptures.erase(capture);
    }
    if (gSequence && ShowStepsDue(gSequence->step, now, true, events)) {
        events.push_back({CaptureTimedOut, gSequence->step.input, 0, true});
        EndSequence(events);
    }
}
