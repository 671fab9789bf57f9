// The built-in images, and where a save puts each value of the record, against the format rules.
#include "settings/settings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Every value distinct, so that one written at another's place shows: the slots' keys in their
// entries, the system and exit keys in theirs, the path and the flags in the trailer.
TEST(BuiltInImage, EqualsTheRulesAndASavePutsEachValueWhereTheRulesSay) {
    for (LayoutKind layout : {StandardLayout, MahjongLayout}) {
        SCOPED_TRACE(layout == MahjongLayout ? "mahjong" : "standard");
        ScratchFolder folder;
        InstallTemplates();
        const LayoutTemplate& image = TemplateFor(layout);
        ASSERT_NE(image.bytes, nullptr);
        EXPECT_EQ(Bytes(image.bytes, image.bytes + image.size), BuildImageFromRules(layout));
        gSettings = {0x3B, 0x01, {}, layout == MahjongLayout ? uint8_t{1} : uint8_t{0}, 5, 6, 7, {}, {}};
        for (size_t i = 0; i < DriverPathSize; ++i)
            gSettings.driverPath[i] = static_cast<uint8_t>('A' + i % 26);
        for (size_t slot = 0; slot < MahjongKeyCount; ++slot)
            gSettings.mahjongKeys[slot] = static_cast<KeyCode>(0x40 + slot);
        for (size_t slot = 0; slot < StandardKeyCount; ++slot)
            gSettings.standardKeys[slot] = static_cast<KeyCode>(0x10 + slot);
        ASSERT_TRUE(SaveSettings());
        EXPECT_EQ(ReadBytes(BindingsFileName), BuildImageFromRules(layout, &gSettings));
    }
}

} // namespace
