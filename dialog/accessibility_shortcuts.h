// Windows' accessibility shortcuts that a cabinet's panel sets off by itself: Shift pressed five
// times (Sticky Keys), right Shift held eight seconds (Filter Keys), Num Lock held five seconds
// (Toggle Keys). Each opens a prompt that takes the focus, and a panel's Space or Enter then answers
// it. While the dialog is active the shortcuts are off, as Windows advises games; a feature that is
// itself on is left alone, since someone uses it.
#pragma once

#include <cstdint>

// The flag bits the three features share: SKF_STICKYKEYSON, FKF_FILTERKEYSON and TKF_TOGGLEKEYSON;
// SKF_, FKF_ and TKF_HOTKEYACTIVE; SKF_, FKF_ and TKF_CONFIRMHOTKEY.
inline constexpr uint32_t AccessibilityFeatureOn = 0x1;
inline constexpr uint32_t AccessibilityHotKeyActive = 0x4;
inline constexpr uint32_t AccessibilityConfirmHotKey = 0x8;

// A feature's flags while the dialog is active: without its shortcut and the shortcut's
// confirmation where the feature is off, unchanged where it is on.
uint32_t AccessibilityFlagsWhileActive(uint32_t flags);
