// The mahjong layout has neither a four-way stick nor a square, and the square needs the four-way
// stick. A flag is on when its byte is 1; another value shows as off and stays until clicked.
#pragma once

#include <cstdint>

struct OptionFlags {
    uint8_t mahjong, fourWay, square;
};

enum OptionBox { MahjongBox, FourWayBox, SquareBox };

// The flags once a click has left `box` checked or not.
OptionFlags FlagsAfterClick(OptionFlags flags, OptionBox box, bool checked);

struct BoxState {
    bool enabled, checked;
};
struct OptionBoxStates {
    bool mahjongChecked;
    BoxState fourWay, square;
};

OptionBoxStates BoxStatesOf(OptionFlags flags);
