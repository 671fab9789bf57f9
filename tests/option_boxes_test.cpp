// The mahjong, four-way and square boxes: the flags after a click, and the boxes as they show.
#include "dialog/option_boxes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::string Shown(OptionFlags flags) {
    OptionBoxStates boxes = BoxStatesOf(flags);
    auto box = [](BoxState state) {
        return std::string(state.enabled ? "" : "(") + (state.checked ? "x" : "o") +
               (state.enabled ? "" : ")");
    };
    std::ostringstream shown;
    shown << int(flags.mahjong) << int(flags.fourWay) << int(flags.square) << " M"
          << (boxes.mahjongChecked ? "x" : "o") << " F" << box(boxes.fourWay) << " S" << box(boxes.square);
    return shown.str();
}

// The flags as mahjong, four-way and square bytes; a click as M, F or S with + to check, - to clear;
// each box then shows x checked or o not, in brackets when it is disabled.
TEST(OptionBoxes, MahjongClearsFourWayAndSquareAndSquareNeedsFourWay) {
    const struct {
        OptionFlags before;
        const char* click;
        const char* after;
    } cases[] = {
        {{0, 0, 0}, "", "000 Mo Fo S(o)"},   {{0, 1, 1}, "", "011 Mo Fx Sx"},
        {{0, 0, 1}, "", "001 Mo Fo S(o)"},   {{1, 1, 1}, "", "111 Mx F(o) S(o)"},
        {{0, 2, 0}, "", "020 Mo Fo S(o)"},   {{0, 1, 1}, "M+", "100 Mx F(o) S(o)"},
        {{1, 0, 0}, "M-", "000 Mo Fo S(o)"}, {{1, 1, 1}, "M-", "011 Mo Fx Sx"},
        {{0, 0, 0}, "F+", "010 Mo Fx So"},   {{0, 1, 1}, "F-", "000 Mo Fo S(o)"},
        {{0, 1, 0}, "S+", "011 Mo Fx Sx"},   {{0, 1, 1}, "S-", "010 Mo Fx So"},
    };
    for (const auto& c : cases) {
        OptionFlags flags = c.before;
        std::string click = c.click;
        if (!click.empty()) {
            OptionBox box = click[0] == 'M' ? MahjongBox : click[0] == 'F' ? FourWayBox : SquareBox;
            flags = FlagsAfterClick(flags, box, click[1] == '+');
        }
        EXPECT_EQ(Shown(flags), c.after) << Shown(c.before) << ", then " << click;
    }
}

} // namespace
