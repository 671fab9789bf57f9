#include "dialog/accessibility_shortcuts_win.h"

#include <utility>

SystemParametersCall gAccessibilityParameters = SystemParametersInfoW;

namespace {

// STICKYKEYS, FILTERKEYS and TOGGLEKEYS each start with cbSize and dwFlags, and share the flags
// used here; FILTERKEYS, the largest, holds any of them.
struct Shortcut {
    UINT get, set, size;
    FILTERKEYS saved;
    bool switchedOff;
};
static_assert(SKF_HOTKEYACTIVE == FKF_HOTKEYACTIVE && FKF_HOTKEYACTIVE == TKF_HOTKEYACTIVE &&
              SKF_CONFIRMHOTKEY == FKF_CONFIRMHOTKEY && FKF_CONFIRMHOTKEY == TKF_CONFIRMHOTKEY &&
              SKF_STICKYKEYSON == FKF_FILTERKEYSON && FKF_FILTERKEYSON == TKF_TOGGLEKEYSON);

Shortcut gShortcuts[] = {{SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, sizeof(STICKYKEYS), {}, false},
                         {SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, sizeof(FILTERKEYS), {}, false},
                         {SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, sizeof(TOGGLEKEYS), {}, false}};

} // namespace

// A feature that is off loses its shortcut and the shortcut's prompt; one that is on is left alone,
// since someone uses it. The last argument 0: no SPIF_UPDATEINIFILE and no SPIF_SENDCHANGE.
void SwitchAccessibilityShortcutsOff() {
    for (Shortcut& shortcut : gShortcuts) {
        FILTERKEYS state = {shortcut.size, 0, 0, 0, 0, 0};
        if (shortcut.switchedOff || !gAccessibilityParameters(shortcut.get, shortcut.size, &state, 0) ||
            (state.dwFlags & SKF_STICKYKEYSON))
            continue;
        FILTERKEYS quiet = state;
        quiet.dwFlags &= ~(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
        if (quiet.dwFlags != state.dwFlags &&
            gAccessibilityParameters(shortcut.set, shortcut.size, &quiet, 0))
            shortcut = {shortcut.get, shortcut.set, shortcut.size, state, true};
    }
}

void RestoreAccessibilityShortcuts() {
    for (Shortcut& shortcut : gShortcuts)
        if (std::exchange(shortcut.switchedOff, false))
            gAccessibilityParameters(shortcut.set, shortcut.size, &shortcut.saved, 0);
}
