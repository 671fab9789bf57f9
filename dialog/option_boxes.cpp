#include "dialog/option_boxes.h"

OptionFlags FlagsAfterClick(OptionFlags flags, OptionBox box, bool checked) {
    uint8_t on = checked ? 1 : 0;
    switch (box) {
    case MahjongBox:
        return checked ? OptionFlags{1, 0, 0} : OptionFlags{0, flags.fourWay, flags.square};
    case FourWayBox:
        return {flags.mahjong, on, checked ? flags.square : uint8_t{0}};
    case SquareBox:
        return {flags.mahjong, flags.fourWay, on};
    }
    return flags;
}

OptionBoxStates BoxStatesOf(OptionFlags flags) {
    bool mahjong = flags.mahjong == 1;
    bool fourWay = !mahjong && flags.fourWay == 1;
    return {mahjong, {!mahjong, fourWay}, {fourWay, fourWay && flags.square == 1}};
}
