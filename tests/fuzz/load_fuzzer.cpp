// Any byte string as the bindings file: loaded, then saved into a scratch folder. A load succeeds
// exactly when every read falls inside the file, and the saved file is always the image of the
// loaded layout with only the editable bytes changed, each holding the value the load read. Every
// saved file is a whole image, which the start would put back after a cut, and a whole image comes
// back from a load and a save unchanged.
#include "settings/settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes gStandard, gMahjong;

Bytes ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Fail(const char* what, size_t at) {
    fprintf(stderr, "invariant broken: %s (position %zu)\n", what, at);
    abort();
}

void Silent(const char*) {}

bool Prepare() {
    gStandard = ReadFile(ORVANE_RESOURCE_DIR "/standard_bindings.bin");
    gMahjong = ReadFile(ORVANE_RESOURCE_DIR "/mahjong_bindings.bin");
    gStandardTemplate = {gStandard.data(), static_cast<uint32_t>(gStandard.size())};
    gMahjongTemplate = {gMahjong.data(), static_cast<uint32_t>(gMahjong.size())};
    gShowWarning = Silent;
    char folder[] = "/tmp/orvane-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0)
        abort();
    return true;
}

// Where each editable byte of the saved file was read from in the input, or -1 for a byte the
// image supplies.
std::vector<long> SourcesOfSavedBytes(LayoutKind layout, size_t inputSize) {
    uint32_t saved = layout == MahjongLayout ? MahjongFileSize : StandardFileSize;
    std::vector<long> source(saved, -1);
    auto fromEnd = [&](uint32_t fromEndOfFile, uint32_t extra) {
        source[saved - fromEndOfFile + extra] = static_cast<long>(inputSize - fromEndOfFile + extra);
    };
    fromEnd(TrailerOffsets[SystemKeyPart], KeyCodeInDevicePart);
    fromEnd(TrailerOffsets[ExitKeyPart], KeyCodeInDevicePart);
    for (uint32_t i = 0; i < DriverPathSize; ++i)
        fromEnd(TrailerOffsets[DriverPathStart], i);
    for (int field = MahjongFlagPosition; field <= SquareFlagPosition; ++field)
        fromEnd(TrailerOffsets[field], 0);
    if (layout == MahjongLayout) {
        for (uint32_t offset : MahjongKeyOffsets)
            source[offset + KeyCodeInDevicePart] = offset + KeyCodeInDevicePart;
    } else {
        for (uint32_t offset : StandardKeyOffsets)
            source[offset + KeyCodeInDevicePart] = offset + KeyCodeInDevicePart;
    }
    return source;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool prepared = Prepare();
    (void)prepared;
    {
        std::ofstream out(BindingsFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::memset(&gSettings, 0, sizeof gSettings);
    bool mahjong = size >= 4 && data[size - 4] == 1;
    LayoutKind layout = mahjong ? MahjongLayout : StandardLayout;
    bool readable = size >= 4 && size >= SmallestReadableSize(layout);
    bool loaded = LoadSettings();
    if (loaded != readable)
        Fail(loaded ? "a file too short for its reads was loaded" : "a readable file was refused", size);
    if (!loaded)
        return 0;
    if (!SaveSettings())
        Fail("the save failed", 0);
    Bytes saved = ReadFile(BindingsFileName);
    const Bytes& image = mahjong ? gMahjong : gStandard;
    if (saved.size() != image.size())
        Fail("the saved file is not the size of its layout's image", saved.size());
    std::vector<long> sources = SourcesOfSavedBytes(layout, size);
    for (size_t i = 0; i < saved.size(); ++i) {
        uint8_t expected = sources[i] < 0 ? image[i] : data[sources[i]];
        if (saved[i] != expected)
            Fail(sources[i] < 0 ? "a byte that is not editable differs from the image"
                                : "an editable byte differs from the loaded value",
                 i);
    }
    // What a save writes is what the start puts back after a cut, and nothing else is.
    if (!IsWholeImage(saved.data(), saved.size()))
        Fail("a saved file is not taken as a whole image", 0);
    if (IsWholeImage(data, size) && saved != Bytes(data, data + size))
        Fail("a whole image does not come back byte for byte", 0);
    return 0;
}
