#include "keys/key_capture.h"

#include <optional>

namespace {

struct Capture {
    CaptureInput input;
    uint32_t startedAt;
    int shown; // the step shown last
    bool hasSnapshot;
    KeyCode startingKey; // passed over until seen up
    StepCarry keys;      // the snapshot, and the reading looked at last
};

std::optional<Capture> gSingleCapture;

struct Sequence {
    std::vector<CaptureInput> order;
    size_t next;
    Capture step;
};
std::optional<Sequence> gSequence;

Capture NewCapture(CaptureInput input, uint32_t now, KeyCode startingKey, bool inSequence,
                   CaptureEvents& events) {
    events.push_back({CaptureCountdown, input, CaptureSteps, inSequence});
    return {input, now, CaptureSteps, false, startingKey, {}};
}

// Enter presses a button as it goes down, Space as it comes up, both before the capture starts:
// until a reading shows the key up, neither its press nor its release is a change.
void PassOverStartingKey(Capture& capture) {
    if (capture.startingKey == NoKey)
        return;
    uint8_t& state = capture.keys.sample.state[capture.startingKey];
    state &= KeyIsDown;
    capture.keys.snapshot.state[capture.startingKey] = state;
    if (!IsKeyDown(state))
        capture.startingKey = NoKey;
}

// The key the capture takes from the reading, or -1.
int LookAt(Capture& capture, const KeySample& reading, ChangeRules rules) {
    capture.keys.sample = reading;
    bool isSnapshot = !capture.hasSnapshot;
    if (isSnapshot)
        capture.keys.snapshot = reading;
    capture.hasSnapshot = true;
    PassOverStartingKey(capture);
    return isSnapshot ? -1 : ChangedKey(capture.keys.snapshot, capture.keys.sample, rules);
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
    gSequence->step = NewCapture(gSequence->order[gSequence->next], now, NoKey, true, events);
    return true;
}

// The next step looks at once at the reading in which a step took its key, so a roll of the hand
// lands on the inputs in turn.
void HandToSequence(const KeySample& reading, uint32_t now, CaptureEvents& events) {
    if (!gSequence)
        return;
    for (int key = LookAt(gSequence->step, reading, SequenceStepRules); key >= 0;
         key = ChangedKey(gSequence->step.keys.snapshot, gSequence->step.keys.sample, SequenceStepRules)) {
        events.push_back({CaptureKeyTaken, gSequence->step.input, key, true});
        StepCarry carry = CarryToNextStep(gSequence->step.keys.snapshot, gSequence->step.keys.sample, key);
        if (!StartNextStep(now, events))
            return;
        gSequence->step.keys = carry;
        gSequence->step.hasSnapshot = true;
    }
}

void HandToSingleCapture(const KeySample& reading, CaptureEvents& events) {
    if (!gSingleCapture)
        return;
    int key = LookAt(*gSingleCapture, reading, SingleCaptureRules);
    if (key < 0)
        return;
    events.push_back({CaptureKeyTaken, gSingleCapture->input, key, false});
    gSingleCapture.reset();
}

// True when the time is up.
bool ShowStepsDue(Capture& capture, uint32_t now, bool inSequence, CaptureEvents& events) {
    uint32_t elapsed = now - capture.startedAt;
    for (int due = CaptureStepAt(elapsed); capture.shown > due;)
        events.push_back({CaptureCountdown, capture.input, --capture.shown, inSequence});
    return elapsed >= CaptureLengthMs;
}

} // namespace

KeyboardDevice gKeyboardDevice = {[](KeySample&) { return false; }}; // until the platform opens one

bool SingleCaptureRuns(CaptureInput input) {
    return gSingleCapture && gSingleCapture->input == input;
}

bool SequenceRuns() {
    return gSequence.has_value();
}

bool AnyCaptureRuns() {
    return SequenceRuns() || gSingleCapture.has_value();
}

void StartSingleCapture(CaptureInput input, uint32_t now, KeyCode startingKey, CaptureEvents& events) {
    StopAllCaptures(events);
    gSingleCapture = NewCapture(input, now, startingKey, false, events);
}

void StartSequence(std::span<const CaptureInput> order, uint32_t now, KeyCode startingKey,
                   CaptureEvents& events) {
    if (order.empty())
        return;
    StopAllCaptures(events);
    gSequence =
        Sequence{{order.begin(), order.end()}, 0, NewCapture(order[0], now, startingKey, true, events)};
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

void StopSingleCapture(CaptureEvents& events) {
    if (gSingleCapture)
        events.push_back({CaptureStopped, gSingleCapture->input, 0, false});
    gSingleCapture.reset();
}

void StopAllCaptures(CaptureEvents& events) {
    StopSequence(events);
    StopSingleCapture(events);
}

bool ReadKeyboardIntoCaptures(uint32_t now, KeySample& reading, CaptureEvents& events) {
    reading = {};
    if (!gKeyboardDevice.read(reading))
        return false;
    HandToSingleCapture(reading, events);
    HandToSequence(reading, now, events);
    return true;
}

void TickCaptures(uint32_t now, CaptureEvents& events) {
    if (gSingleCapture && ShowStepsDue(*gSingleCapture, now, false, events)) {
        events.push_back({CaptureTimedOut, gSingleCapture->input, 0, false});
        gSingleCapture.reset();
    }
    if (gSequence && ShowStepsDue(gSequence->step, now, true, events)) {
        events.push_back({CaptureTimedOut, gSequence->step.input, 0, true});
        EndSequence(events);
    }
}
