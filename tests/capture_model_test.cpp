// The captures against a small model of what a person expects of them, over random orders of a
// person's actions: starts by a click, Enter or Space, clicks elsewhere, 跳過 and 停止, another
// program in front, keys going down and up (several between two readings, taps shorter than a
// reading), readings and clock ticks of any length. Checked after every action.
#include "keys/key_capture.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

namespace {

const KeyCode Keys[] = {0x1E, 0x30, 0x10, 0x1C, 0x39, 0xC8}; // A, B, Q, Enter, Space, Up
constexpr KeyCode Enter = 0x1C, Space = 0x39;
const CaptureInput SequenceOrder[] = {11, 12, 13, 14, 15};

enum ActionKind {
    ClickStart, // a click on a capture button: its press first ends the single capture
    EnterStart,
    SpaceStart,
    ClickSequence,
    EnterSequence,
    ClickElsewhere,
    Skip,
    Stop,
    AnotherProgram,
    Down,
    Up,
    Tap,
    Read,
    Tick,
    ActionKinds
};
const char* const ActionNames[] = {"ClickStart",
                                   "EnterStart",
                                   "SpaceStart",
                                   "ClickSequence",
                                   "EnterSequence",
                                   "ClickElsewhere",
                                   "Skip",
                                   "Stop",
                                   "AnotherProgram",
                                   "Down",
                                   "Up",
                                   "Tap",
                                   "Read",
                                   "Tick"};

struct Action {
    int kind;
    int arg;
};

// Keys by their codes: Down(28) is Enter going down.
void showValue(const Action& action, std::ostream& os) {
    os << ActionNames[action.kind] << "("
       << (action.kind >= Down && action.kind <= Tap ? Keys[action.arg % 6] : action.arg) << ")";
}

// Keys and readings come more often than starts and stops.
rc::Gen<Action> AnAction() {
    const int weights[ActionKinds] = {3, 2, 2, 2, 1, 2, 1, 1, 1, 8, 8, 3, 8, 4};
    std::vector<int> kinds;
    for (int kind = 0; kind < ActionKinds; ++kind)
        kinds.insert(kinds.end(), static_cast<size_t>(weights[kind]), kind);
    return rc::gen::build<Action>(rc::gen::set(&Action::kind, rc::gen::elementOf(kinds)),
                                  rc::gen::set(&Action::arg, rc::gen::inRange(0, 4000)));
}

// The keyboard the person presses: what a reading returns, the keys that went down since the last.
KeySample gPending;

bool ReadPending(KeySample& sample) {
    sample = gPending;
    gPending.wentDownCount = 0;
    for (uint8_t& state : gPending.state)
        state &= KeyIsDown;
    return true;
}

// What a person knows of one capture: since when it runs, which key press it may take.
struct Run {
    CaptureInput input;
    uint32_t startedAt;
    size_t startedAtPress; // the key presses and releases before its start
    KeyCode startingKey;
    std::vector<KeyCode> heldAtStart;
    int shown = CaptureSteps + 1;
};

struct KeyEvent {
    KeyCode key;
    bool down;
};

struct Model {
    uint32_t now = 0xFFFFF000u; // close to wrapping around, as GetTickCount is after 49.7 days
    std::vector<KeyEvent> log;
    size_t readUpTo = 0;
    std::optional<Run> single;
    std::optional<Run> step;
    size_t stepIndex = 0;

    bool IsDown(KeyCode key) const { return IsKeyDown(gPending.state[key]); }
    void Press(KeyCode key, bool down) {
        if (IsDown(key) == down)
            return;
        log.push_back({key, down});
        gPending.state[key] =
            static_cast<uint8_t>((gPending.state[key] & KeyWentDown) | (down ? KeyIsDown : 0));
        if (down)
            MarkWentDown(gPending, key);
    }
    // The first press of the key after `from`, or SIZE_MAX.
    size_t PressAfter(KeyCode key, size_t from, bool down = true) const {
        for (size_t i = from; i < log.size(); ++i)
            if (log[i].key == key && log[i].down == down)
                return i;
        return SIZE_MAX;
    }
    Run NewRun(CaptureInput input, KeyCode startingKey) const {
        Run run = {input, now, log.size(), startingKey, {}};
        for (KeyCode key : Keys)
            if (IsDown(key))
                run.heldAtStart.push_back(key);
        return run;
    }
};

// Checks what the captures did against the model, and moves the model on with it.
void Check(Model& model, const CaptureEvents& events, bool mayStop, bool maySkip) {
    for (const CaptureEvent& event : events) {
        std::optional<Run>& run = event.inSequence ? model.step : model.single;
        if (event.kind == SequenceEnded) {
            RC_ASSERT(!model.step.has_value());
            model.stepIndex = SIZE_MAX;
            continue;
        }
        RC_ASSERT(run.has_value());
        RC_ASSERT(run->input == event.input);
        switch (event.kind) {
        case CaptureCountdown:
            RC_ASSERT(event.value < run->shown);
            RC_ASSERT(event.value >= 1);
            run->shown = event.value;
            continue;
        case CaptureKeyTaken: {
            KeyCode key = static_cast<KeyCode>(event.value);
            size_t pressed = model.PressAfter(key, run->startedAtPress);
            bool heldAndLetGo = !event.inSequence && key != run->startingKey &&
                                std::count(run->heldAtStart.begin(), run->heldAtStart.end(), key) &&
                                model.PressAfter(key, run->startedAtPress, false) != SIZE_MAX;
            RC_ASSERT(pressed != SIZE_MAX || heldAndLetGo);
            RC_ASSERT(pressed < model.readUpTo || heldAndLetGo);
            if (event.inSequence) {
                Run next = model.NewRun(SequenceOrder[++model.stepIndex % 5], NoKey);
                next.startedAtPress = pressed + 1; // a roll: the keys pressed after this one
                run.reset();
                if (model.stepIndex < 5)
                    run = next;
                continue;
            }
            break;
        }
        case CaptureTimedOut:
            RC_ASSERT(model.now - run->startedAt >= CaptureLengthMs);
            break;
        case CaptureStopped:
            RC_ASSERT(mayStop);
            break;
        case CaptureSkipped:
            RC_ASSERT(maySkip && event.inSequence);
            if (++model.stepIndex < 5) {
                run = model.NewRun(SequenceOrder[model.stepIndex], NoKey);
                continue;
            }
            break;
        default:
            RC_FAIL("an event of no kind");
        }
        run.reset();
    }
}

// A start ends the capture before it, as a stop does; then the new one shows its first step.
void Start(Model& model, bool sequence, KeyCode startingKey, CaptureEvents& events) {
    CaptureInput input = sequence ? SequenceOrder[0] : static_cast<CaptureInput>(1 + model.now % 3);
    if (sequence)
        StartSequence(SequenceOrder, model.now, startingKey, events);
    else
        StartSingleCapture(input, model.now, startingKey, events);
    RC_ASSERT(!events.empty());
    CaptureEvents ended(events.begin(), events.end() - 1);
    Check(model, ended, true, false);
    events.erase(events.begin(), events.end() - 1);
    model.stepIndex = 0;
    (sequence ? model.step : model.single) = model.NewRun(input, startingKey);
}

// As the dialog does: a start is followed at once by a reading, the capture's snapshot.
void ReadInto(Model& model, CaptureEvents& events) {
    KeySample reading;
    model.readUpTo = model.log.size();
    ReadKeyboardIntoCaptures(model.now, reading, events);
}

void Do(Model& model, const Action& action) {
    CaptureEvents events;
    KeyCode key = Keys[action.arg % 6];
    bool mayStop = true, maySkip = false;
    std::optional<Run> singleBefore = model.single;
    switch (action.kind) {
    case ClickStart:
    case ClickSequence:
        StopSingleCapture(events); // the press
        Check(model, events, true, false);
        events.clear();
        Start(model, action.kind == ClickSequence, NoKey, events);
        break;
    case EnterStart:
    case EnterSequence:
        model.Press(Enter, true); // the button is pressed as Enter goes down
        Start(model, action.kind == EnterSequence, Enter, events);
        break;
    case SpaceStart:
        model.Press(Space, true);
        model.Press(Space, false); // and as Space comes up
        Start(model, false, Space, events);
        break;
    case ClickElsewhere:
        StopSingleCapture(events);
        break;
    case Skip:
        maySkip = true;
        mayStop = false;
        SkipSequenceStep(model.now, events);
        break;
    case Stop:
        StopSequence(events);
        break;
    case AnotherProgram: // as the dialog does: a last reading, then every capture ends
        ReadInto(model, events);
        StopAllCaptures(events);
        break;
    case Down:
    case Up:
        mayStop = false;
        model.Press(key, action.kind == Down);
        break;
    case Tap:
        mayStop = false;
        model.Press(key, true);
        model.Press(key, false);
        break;
    case Read:
        mayStop = false;
        ReadInto(model, events);
        break;
    case Tick:
        mayStop = false;
        model.now += static_cast<uint32_t>(action.arg);
        TickCaptures(model.now, events);
        break;
    }
    if (action.kind <= EnterSequence || action.kind == Skip)
        ReadInto(model, events);
    Check(model, events, mayStop, maySkip);
    RC_ASSERT(SingleCaptureRuns(model.single ? model.single->input : 0) == model.single.has_value());
    RC_ASSERT(SequenceRuns() == model.step.has_value());
    if (action.kind == AnotherProgram)
        RC_ASSERT(!AnyCaptureRuns());
    for (const std::optional<Run>& run : {model.single, model.step})
        RC_ASSERT(!(action.kind == Tick && run && model.now - run->startedAt >= CaptureLengthMs));
    // A key pressed after a single capture started, other than one it passes over, ends it.
    if (action.kind == Read && singleBefore && model.single)
        for (KeyCode pressed : Keys)
            RC_ASSERT(
                !(pressed != singleBefore->startingKey &&
                  !std::count(singleBefore->heldAtStart.begin(), singleBefore->heldAtStart.end(), pressed) &&
                  model.PressAfter(pressed, singleBefore->startedAtPress) != SIZE_MAX));
}

RC_GTEST_PROP(CaptureModel, EveryOrderOfAPersonsActionsKeepsThePromisesOfTheCaptures, ()) {
    CaptureEvents ignored;
    StopAllCaptures(ignored);
    gPending = {};
    gKeyboardDevice.read = ReadPending;
    Model model;
    for (const Action& action : *rc::gen::container<std::vector<Action>>(AnAction()))
        Do(model, action);
}

} // namespace
