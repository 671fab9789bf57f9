#include "dialog/accessibility_shortcuts_win.h"

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

// A feature that is off loses its shortcut and the shortcut's prompt; one that is on is left alone,
// since someone uses it. The three features share these flag bits.
DWORD FlagsWhileActive(DWORD flags) {
    static_assert(SKF_HOTKEYACTIVE == FKF_HOTKEYACTIVE && FKF_HOTKEYACTIVE == TKF_HOTKEYACTIVE &&
                  SKF_CONFIRMHOTKEY == FKF_CONFIRMHOTKEY && FKF_CONFIRMHOTKEY == TKF_CONFIRMHOTKEY &&
                  SKF_STICKYKEYSON == FKF_FILTERKEYSON && FKF_FILTERKEYSON == TKF_TOGGLEKEYSON);
    return (flags & SKF_STICKYKEYSON) ? flags : flags & ~(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
}

// The last argument 0: no SPIF_UPDATEINIFILE and no SPIF_SENDCHANGE, the session's setting only.
template <typename State> void SwitchOff(Shortcut<State>& shortcut) {
    if (shortcut.switchedOff)
        return;
    State state = {};
    state.cbSize = sizeof state;
    if (!gAccessibilityParameters(shortcut.get, sizeof state, &state, 0))
        return;
    State quiet = state;
    quiet.dwFlags = FlagsWhileActive(state.dwFlags);
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
