// The accessibility shortcuts while the dialog is active: each feature's flags as Windows ships them,
// and with the feature in use.
#include "dialog/accessibility_shortcuts.h"

#include <gtest/gtest.h>

namespace {

TEST(AccessibilityShortcuts, AFeatureThatIsOffLosesItsShortcutAndOneInUseKeepsIt) {
    const struct {
        const char* feature;
        uint32_t flags, whileActive;
    } cases[] = {
        {"Sticky Keys as shipped", 0x1FE, 0x1F2},
        {"Sticky Keys on", 0x1FF, 0x1FF},
        {"Sticky Keys' shortcut without its prompt", 0x1F6, 0x1F2},
        {"Filter Keys as shipped", 0x7E, 0x72},
        {"Filter Keys on", 0x7F, 0x7F},
        {"Toggle Keys as shipped", 0x3E, 0x32},
        {"Toggle Keys on", 0x3F, 0x3F},
        {"no flag at all, as Wine answers", 0x0, 0x0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AccessibilityFlagsWhileActive(c.flags), c.whileActive) << c.feature;
}

} // namespace
