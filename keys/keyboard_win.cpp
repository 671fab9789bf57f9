// The DirectInput keyboard behind every capture and the live key test.
#define DIRECTINPUT_VERSION 0x0800
#include "keys/keyboard_win.h"

#include <dinput.h>

namespace {

// Events buffered between readings; the state, read too, is right even after an overflow.
constexpr DWORD EventBufferSize = 256;
constexpr DWORD EventsPerCall = 64;

// The dialog's thread's, but for the dialog and the message, which the wait's thread reads: they
// change only while no wait is registered.
struct Keyboard {
    IDirectInput8W* input = nullptr;
    IDirectInputDevice8W* device = nullptr;
    HANDLE signal = nullptr;
    HANDLE wait = nullptr;
    HWND dialog = nullptr;
    UINT message = 0;
    bool acquired = false;
};
Keyboard gKeyboard;

// Loaded after the first picture, by its full path: a loader's folder may hold a dinput8.dll of its own.
using DirectInput8CreateCall = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);

DirectInput8CreateCall LoadDirectInput() {
    static HMODULE library = [] { // looked up once
        wchar_t path[MAX_PATH + 16] = {};
        UINT length = GetSystemDirectoryW(path, MAX_PATH);
        return length > 0 && length < MAX_PATH ? LoadLibraryW(lstrcatW(path, L"\\dinput8.dll")) : nullptr;
    }();
    // Through a function type of no parameters, which any function pointer may be cast to and from.
    auto found =
        reinterpret_cast<void (*)()>(library ? GetProcAddress(library, "DirectInput8Create") : nullptr);
    return reinterpret_cast<DirectInput8CreateCall>(found);
}

// On the wait's thread: a posted message reaches the dialog through any message loop of its thread,
// a message box's or a window drag's too.
void CALLBACK PostSignal(void*, BOOLEAN) {
    PostMessageW(gKeyboard.dialog, gKeyboard.message, 0, 0);
}

bool Open(HWND dialog) {
    DIPROPDWORD buffer = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, EventBufferSize};
    IDirectInputDevice8W* device = nullptr;
    DirectInput8CreateCall create = LoadDirectInput();
    if (create == nullptr ||
        FAILED(create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                      reinterpret_cast<void**>(&gKeyboard.input), nullptr)) ||
        FAILED(gKeyboard.input->CreateDevice(GUID_SysKeyboard, &device, nullptr)))
        return false;
    gKeyboard.device = device;
    // The device takes its event before it is acquired; the wait posts once for each signal.
    gKeyboard.signal = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return SUCCEEDED(device->SetDataFormat(&c_dfDIKeyboard)) &&
           SUCCEEDED(device->SetCooperativeLevel(dialog, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)) &&
           SUCCEEDED(device->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph)) && gKeyboard.signal != nullptr &&
           SUCCEEDED(device->SetEventNotification(gKeyboard.signal)) &&
           RegisterWaitForSingleObject(&gKeyboard.wait, gKeyboard.signal, PostSignal, nullptr, INFINITE,
                                       WT_EXECUTEINWAITTHREAD) &&
           (gKeyboard.acquired = SUCCEEDED(device->Acquire()));
}

// Marks every key that went down since the last call, in the order the events came.
bool ReadEvents(KeySample& sample) {
    DIDEVICEOBJECTDATA events[EventsPerCall];
    DWORD count = 0;
    do {
        count = EventsPerCall;
        if (FAILED(gKeyboard.device->GetDeviceData(sizeof events[0], events, &count, 0)))
            return false;
        for (DWORD i = 0; i < count; ++i)
            if ((events[i].dwData & KeyIsDown) != 0)
                MarkWentDown(sample, static_cast<KeyCode>(events[i].dwOfs & 0xFF));
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

// A keyboard lost to another program's exclusive use is acquired again: the loss signals too.
bool AcquireAgain() {
    return gKeyboard.acquired = SUCCEEDED(gKeyboard.device->Acquire());
}

bool ReadOpenKeyboard(KeySample& sample) {
    sample = {};
    return gKeyboard.device != nullptr && (ReadState(sample) || (AcquireAgain() && ReadState(sample)));
}

} // namespace

void CloseKeyboard() {
    if (gKeyboard.wait != nullptr)
        UnregisterWaitEx(gKeyboard.wait, INVALID_HANDLE_VALUE); // waits for a signal being posted
    if (gKeyboard.device != nullptr) {
        gKeyboard.device->Unacquire();
        gKeyboard.device->SetEventNotification(nullptr);
        gKeyboard.device->Release();
    }
    if (gKeyboard.input != nullptr)
        gKeyboard.input->Release();
    if (gKeyboard.signal != nullptr)
        CloseHandle(gKeyboard.signal);
    gKeyboard = {};
}

bool OpenKeyboard(HWND dialog, UINT signalMessage) {
    gKeyboardDevice.read = ReadOpenKeyboard;
    CloseKeyboard();
    gKeyboard.dialog = dialog;
    gKeyboard.message = signalMessage;
    if (Open(dialog))
        return true;
    CloseKeyboard();
    return false;
}

void AcquireKeyboardIfLost() {
    if (gKeyboard.device != nullptr && !gKeyboard.acquired)
        AcquireAgain();
}

bool IsKeyboardOpen() {
    return gKeyboard.device != nullptr;
}

void KeyNameFromCode(KeyCode code, wchar_t* buffer, int capacity) {
    if (capacity <= 0)
        return;
    buffer[0] = L'\0';
    GetKeyNameTextW(KeyNameParameter(NameScanFromCode(code)), buffer, capacity);
}
