// Capture buttons to key bytes.
#include "keys/capture_target.h"

#include "resources/resource.h"

namespace {

// IDs above this one belong to the system and exit keys.
constexpr int LastSlotButton = 3079;

KeyCode* SlotOrNull(KeyCode* keys, size_t count, int index) {
    return index >= 0 && static_cast<size_t>(index) < count ? &keys[index] : nullptr;
}

} // namespace

KeyCode* CaptureTarget(int buttonId) {
    if (buttonId > LastSlotButton)
        return buttonId == IDC_SYSTEM_CAPTURE ? &gSettings.systemKey : &gSettings.exitKey;
    if (CurrentLayout() == MahjongLayout)
        return SlotOrNull(gSettings.mahjongKeys, MahjongKeyCount, buttonId - IDC_MAHJONG_CAPTURE_FIRST);
    return SlotOrNull(gSettings.standardKeys, StandardKeyCount, buttonId - IDC_STANDARD_CAPTURE_FIRST);
}

int KeyFieldOfButton(int buttonId) {
    return buttonId - IDC_CAPTURE_FIELD_DISTANCE;
}
