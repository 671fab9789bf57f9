#include "keys/keyboard.h"

#include <atomic>

namespace {

// Written and read by every capture's thread: single atomic bytes.
uint8_t gReaderOpen[KeyboardReaderCount] = {};
uint8_t gWentDown[KeyboardReaderCount][KeyCodeCount] = {};

std::atomic_ref<uint8_t> Shared(uint8_t& byte) {
    return std::atomic_ref<uint8_t>(byte);
}

bool NoDevice(KeySample&) {
    return false;
}

// A key that went down is kept for every open reader until it reads.
void PassOnWentDown(int code) {
    for (int reader = 0; reader < KeyboardReaderCount; ++reader)
        if (ReadShared(gReaderOpen[reader]) != 0)
            WriteShared(gWentDown[reader][code], KeyWentDown);
}

} // namespace

KeyboardDevice gKeyboardDevice = {NoDevice};

KeyboardReader OpenKeyboardReader() {
    for (KeyboardReader reader = 0; reader < KeyboardReaderCount; ++reader) {
        uint8_t closed = 0;
        if (!Shared(gReaderOpen[reader]).compare_exchange_strong(closed, 1))
            continue;
        for (uint8_t& wentDown : gWentDown[reader])
            WriteShared(wentDown, 0);
        return reader;
    }
    return NoReader;
}

void CloseKeyboardReader(KeyboardReader reader) {
    if (reader != NoReader)
        WriteShared(gReaderOpen[reader], 0);
}

bool ReadKeyboard(KeyboardReader reader, KeySample& sample) {
    if (!gKeyboardDevice.read(sample))
        return false;
    for (int code = 0; code < KeyCodeCount; ++code) {
        if ((sample.state[code] & KeyWentDown) != 0)
            PassOnWentDown(code);
        uint8_t wentDown = reader == NoReader ? 0 : Shared(gWentDown[reader][code]).exchange(0);
        sample.state[code] = static_cast<uint8_t>((sample.state[code] & KeyIsDown) | wentDown);
    }
    return true;
}
