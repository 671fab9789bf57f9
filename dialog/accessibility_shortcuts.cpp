#include "dialog/accessibility_shortcuts.h"

uint32_t AccessibilityFlagsWhileActive(uint32_t flags) {
    if (flags & AccessibilityFeatureOn)
        return flags;
    return flags & ~(AccessibilityHotKeyActive | AccessibilityConfirmHotKey);
}
