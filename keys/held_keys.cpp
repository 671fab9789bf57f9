#include "keys/held_keys.h"

#include <algorithm>
#include <array>

bool IsPanelKey(KeyCode code, const std::vector<KeyCode>& inputCodes) {
    return code != NoKey && std::find(inputCodes.begin(), inputCodes.end(), code) != inputCodes.end();
}

std::vector<bool> HeldInputs(const std::vector<KeyCode>& inputCodes, const KeySample& now) {
    std::vector<bool> lit;
    for (KeyCode code : inputCodes)
        lit.push_back(code != NoKey && IsKeyDown(now.state[code]) && !IsAltGrControl(now, code));
    return lit;
}

bool KeepFromDialog(const DialogKeyMessage& message, const std::vector<KeyCode>& inputCodes) {
    if (message.captureRuns)
        return true;
    if (!message.pressOrRelease || message.typingDriverPath)
        return false;
    return IsPanelKey(KeyCodeOfKeyMessage(message.lParam), inputCodes);
}

std::vector<bool> ClashingInputs(const std::vector<KeyCode>& codes) {
    std::array<int, KeyCodeCount> holders = {};
    for (KeyCode code : codes)
        ++holders[code];
    std::vector<bool> clashing(codes.size());
    for (size_t i = 0; i < codes.size(); ++i)
        clashing[i] = codes[i] != NoKey && holders[codes[i]] > 1;
    return clashing;
}
