#include "dialog/clash_marks.h"

#include "keys/capture_target.h"
#include "keys/key_clashes.h"
#include "resources/resource.h"
#include "settings/settings.h"

std::vector<int> InputButtons() {
    bool mahjong = CurrentLayout() == MahjongLayout;
    int first = mahjong ? IDC_MAHJONG_CAPTURE_FIRST : IDC_STANDARD_CAPTURE_FIRST;
    size_t count = mahjong ? MahjongKeyCount : StandardKeyCount;
    std::vector<int> buttons;
    for (size_t i = 0; i < count; ++i)
        buttons.push_back(first + static_cast<int>(i));
    buttons.push_back(IDC_SYSTEM_CAPTURE);
    buttons.push_back(IDC_EXIT_CAPTURE);
    return buttons;
}

std::vector<KeyCode> CodesOfInputs(const std::vector<int>& buttons) {
    std::vector<KeyCode> codes;
    for (int button : buttons)
        codes.push_back(ReadShared(*CaptureTarget(button)));
    return codes;
}

void ShowClashMarks(HWND dialog) {
    std::vector<int> buttons = InputButtons();
    std::vector<bool> clashing = ClashingInputs(CodesOfInputs(buttons));
    for (size_t i = 0; i < buttons.size(); ++i)
        SetDlgItemTextW(dialog, buttons[i], clashing[i] ? L"!" : L"");
}
