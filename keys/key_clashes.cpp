#include "keys/key_clashes.h"

#include <cstddef>

#include <array>

std::vector<bool> ClashingInputs(const std::vector<KeyCode>& codes) {
    std::array<int, KeyCodeCount> holders = {};
    for (KeyCode code : codes)
        ++holders[code];
    std::vector<bool> clashing(codes.size());
    for (size_t i = 0; i < codes.size(); ++i)
        clashing[i] = codes[i] != NoKey && holders[codes[i]] > 1;
    return clashing;
}
