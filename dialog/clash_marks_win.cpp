#include "dialog/clash_marks_win.h"

#include "keys/key_clashes.h"
#include "settings/layout_inputs.h"

void ShowClashMarks(HWND dialog) {
    std::span<const LayoutInput> inputs = CurrentInputs();
    std::vector<bool> clashing = ClashingInputs(CurrentInputCodes());
    for (size_t i = 0; i < inputs.size(); ++i)
        SetDlgItemTextW(dialog, inputs[i].captureButton, clashing[i] ? L"!" : L"");
}
