#include "dialog/accessibility_shortcuts_win.h"

#include "dialog/accessibility_shortcuts.h"

static_assert(SKF_STICKYKEYSON == AccessibilityFeatureOn && FKF_FILTERKEYSON == AccessibilityFeatureOn &&
              TKF_TOGGLEKEYSON == AccessibilityFeatureOn);
static_assert(SKF_HOTKEYACTIVE == AccessibilityHotKeyActive &&
              FKF_HOTKEYACTIVE == AccessibilityHotKeyActive && TKF_HOTKEYACTIVE == AccessibilityHotKeyActive);
static_assert(SKF_CONFIRMHOTKEY == AccessibilityConfirmHotKey &&
              FKF_CONFIRMHOTKEY == AccessibilityConfirmHotKey &&
              TKF_CONFIRMHOTKEY == AccessibilityConfirmHotKey);

SystemParametersCall gAccessibilityParameters = SystemParametersInfoW;

namespace {

// STICKYKEYS, FILTERKEYS and TOGGLEKEYS each start with cbSize and dwFlags.
template <typename State> struct Shortcut {
    UINT get, set;
    State saved;
    bool switchedOff;
};

Shortcut<STICKYKEYS> gStickyKeys = {SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, {}, false};
Shortcut<FILTERKEYS> gFilterKeys = {SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, {}, false};
Shortcut<TOGGLEKEYS> gToggleKeys = {SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, {}, false};

// The last argument 0: no SPIF_UPDATEINIFILE and no SPIF_SENDCHANGE, the session's setting only.
template <typename State> void SwitchOff(Shortcut<State>& shortcut) {
    if (shortcut.switchedOff)
        return;
    State state = {};
    state.cbSize = sizeof state;
    if (!gAccessibilityParameters(shortcut.get, sizeof state, &state, 0))
        return;
    State quiet = state;
    quiet.dwFlags = AccessibilityFlagsWhileActive(state.dwFlags);
    if (quiet.dwFlags == state.dwFlags || !gAccessibilityParameters(shortcut.set, sizeof quiet, &quiet, 0))
        return;
    shortcut.saved = state;
    shortcut.switchedOff = true;
}

template <typename State> void GiveBack(Shortcut<State>& shortcut) {
    if (!shortcut.switchedOff)
        return;
    shortcut.switchedOff = false;
    gAccessibilityParameters(shortcut.set, sizeof shortcut.saved, &shortcut.saved, 0);
}

} // namespace

void SwitchAccessibilityShortcutsOff() {
    SwitchOff(gStickyKeys);
    SwitchOff(gFilterKeys);
    SwitchOff(gToggleKeys);
}

void RestoreAccessibilityShortcuts() {
    GiveBack(gStickyKeys);
    GiveBack(gFilterKeys);
    GiveBack(gToggleKeys);
}
