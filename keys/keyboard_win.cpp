// The DirectInput keyboard behind every capture and the live key test.
#define DIRECTINPUT_VERSION 0x0800
#include "keys/keyboard_win.h"

#include <dinput.h>

namespace {

// Key events buffered between two readings: a capture reads every 10 ms or so, the key test every
// 30 ms, and the state, read as well, is right even when the buffer overflowed.
constexpr DWORD EventBufferSize = 256;
constexpr DWORD EventsPerCall = 64;
const int MouseButtons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2};

// One keyboard for the process, read by the dialog thread and the capture workers in turn.
struct Keyboard {
    Keyboard() { InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    IDirectInput8W* input = nullptr;
    IDirectInputDevice8W* device = nullptr;
};
Keyboard gKeyboard;

struct Locked {
    Locked() { EnterCriticalSection(&gKeyboard.lock); }
    ~Locked() { LeaveCriticalSection(&gKeyboard.lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

void Close() {
    if (gKeyboard.device != nullptr) {
        gKeyboard.device->Unacquire();
        gKeyboard.device->Release();
        gKeyboard.device = nullptr;
    }
    if (gKeyboard.input != nullptr) {
        gKeyboard.input->Release();
        gKeyboard.input = nullptr;
    }
}

bool Open(HWND dialog) {
    DIPROPDWORD buffer = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, EventBufferSize};
    IDirectInputDevice8W* device = nullptr;
    if (FAILED(DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                  reinterpret_cast<void**>(&gKeyboard.input), nullptr)) ||
        FAILED(gKeyboard.input->CreateDevice(GUID_SysKeyboard, &device, nullptr)))
        return false;
    gKeyboard.device = device;
    return SUCCEEDED(device->SetDataFormat(&c_dfDIKeyboard)) &&
           SUCCEEDED(device->SetCooperativeLevel(dialog, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)) &&
           SUCCEEDED(device->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph)) && SUCCEEDED(device->Acquire());
}

// Marks every key that went down since the last call.
bool ReadEvents(KeySample& sample) {
    DIDEVICEOBJECTDATA events[EventsPerCall];
    DWORD count = 0;
    do {
        count = EventsPerCall;
        if (FAILED(gKeyboard.device->GetDeviceData(sizeof events[0], events, &count, 0)))
            return false;
        for (DWORD i = 0; i < count; ++i)
            if ((events[i].dwData & KeyIsDown) != 0)
                sample.state[events[i].dwOfs & 0xFF] |= KeyWentDown;
    } while (count == EventsPerCall);
    return true;
}

bool ReadState(KeySample& sample) {
    uint8_t state[KeyCodeCount] = {};
    if (!ReadEvents(sample) || FAILED(gKeyboard.device->GetDeviceState(sizeof state, state)))
        return false;
    for (int code = 0; code < KeyCodeCount; ++code)
        sample.state[code] |= state[code] & KeyIsDown;
    return true;
}

uint8_t MouseButtonsState() {
    uint8_t state = 0;
    for (int button : MouseButtons) {
        SHORT asyncState = GetAsyncKeyState(button);
        state |= ((asyncState & 0x8000) != 0 ? KeyIsDown : 0) | ((asyncState & 1) != 0 ? KeyWentDown : 0);
    }
    return state;
}

// A keyboard lost to another program's exclusive use, or not yet acquired, is acquired again.
bool ReadOpenKeyboard(KeySample& sample) {
    Locked locked;
    sample = {};
    if (gKeyboard.device == nullptr ||
        (!ReadState(sample) && (FAILED(gKeyboard.device->Acquire()) || !ReadState(sample))))
        return false;
    sample.state[NoKey] = MouseButtonsState();
    return true;
}

} // namespace

bool OpenKeyboard(HWND dialog) {
    Locked locked;
    gKeyboardDevice.read = ReadOpenKeyboard;
    Close();
    if (Open(dialog))
        return true;
    Close();
    return false;
}

void CloseKeyboard() {
    Locked locked;
    Close();
}

bool KeyboardIsOpen() {
    Locked locked;
    return gKeyboard.device != nullptr;
}
