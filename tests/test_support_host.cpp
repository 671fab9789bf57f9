// The host build has no program resources: the images come from the files in resources/.
#include "tests/test_support.h"

void InstallTemplates() {
    static const Bytes standard = ReadBytes(ORVANE_RESOURCE_DIR "/standard_bindings.bin");
    static const Bytes mahjong = ReadBytes(ORVANE_RESOURCE_DIR "/mahjong_bindings.bin");
    gStandardTemplate = {standard.data(), static_cast<uint32_t>(standard.size())};
    gMahjongTemplate = {mahjong.data(), static_cast<uint32_t>(mahjong.size())};
}
