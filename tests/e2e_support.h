// Helpers of the end-to-end tests: the real program, its windows, clicks and keys through xdotool.
#pragma once

#include "tests/test_support.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

extern std::wstring gToolPath;

inline constexpr wchar_t DialogCaption[] = L"Orvane 設定";
// How long a test waits for the tool to react: far beyond what a person would wait, since the
// programs may run through emulation on two busy cores.
inline constexpr DWORD ReactionLimitMs = 10000;

std::wstring ToWindowsPath(const std::string& path);
// Runs a program of the Linux side and waits for it. Its exit code does not come through Wine.
void RunUnix(std::wstring commandLine);

// A real mouse click in the middle of a screen rectangle: button 1 is the left one, 3 the right.
void ClickAt(const RECT& place, int button = 1);
void Click(HWND dialog, int id);
// Focuses the settings dialog's X window, then runs xdotool's key commands ("keydown a sleep 0.1").
void TypeOnDialog(const std::wstring& commands);
// The same, holding the key for the given time.
void PressKey(const std::wstring& key, int holdMs = 100);

// A key as a Windows keyboard driver reports it: the virtual key Windows gives for it, its scan code,
// and whether it comes with the E0 prefix. Under Wine with Xvfb, a right-hand Ctrl, Shift or Windows
// key sent through X also reports the left-hand one, so these go through SendInput, which Wine sees
// whatever the X focus but only when held 100 ms or more.
struct DriverKey {
    WORD virtualKey;
    WORD scanCode;
    bool e0;
};
void SendKey(const DriverKey& key, bool down);

struct Tool {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
};

// Starts the program in the current folder.
Tool Start();
Tool StartWithDialog();
// Writes the bindings file into the current folder, then starts the program on it.
Tool StartOn(const Bytes& file);
// A visible top-level dialog of the tool's process with the given caption, looked for every `stepMs`.
HWND WaitForWindow(const Tool& tool, const wchar_t* caption, DWORD limitMs = 15000, DWORD stepMs = 20);
// Exit code, or -1 if the process did not end in time (it is then ended).
long WaitForExit(Tool& tool, DWORD limitMs = 10000);
// A real click on a button of the dialog, then the exit code.
long ClickAndWaitForExit(Tool& tool, int id, DWORD limitMs = 10000);
// Captures one key on the button and waits until the capture has ended.
void Capture(const Tool& tool, int button, const std::wstring& key);
// Waits for the tool's warning box, checks its message and clicks its OK button.
void DismissWarning(const Tool& tool, const char* warning);
// Ends every tool a failed test left running, so that none outlives the test run.
void EndLeftoverTools();

std::wstring ControlText(HWND window);
std::wstring Text(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::wstring& text);
bool Checked(HWND dialog, int id);
// The control with the keyboard focus in the thread of another process's window.
HWND FocusOf(HWND window);
// The message of a message box.
std::wstring MessageOf(HWND box);
bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs);

// The pixels of a screen rectangle, top-down, 24 bits each.
using Picture = std::vector<uint32_t>;
Picture Screenshot(const RECT& place);
// The first picture of the rectangle that `wanted` takes and that is still the same 150 ms later: under
// emulation on busy cores a window can take far longer than usual to paint. At the limit the test fails,
// saying how much the last two pictures differed, and the last one is returned.
Picture SettledPicture(const RECT& place, const std::function<bool(const Picture&)>& wanted,
                       DWORD limitMs = 10000);
// Clicks a check box and waits until it changes: X hands the dialog its key and pointer events in
// order, so the keys typed before have been handled by then, whatever has the focus.
bool ClickBoxAfterTyping(const Tool& tool, int box, DWORD limitMs = 10000);
// Presses Tab, which no input in these tests has, and waits until the dialog's focus moves on: the
// keys typed before it have been handled by then. Returns the new focus, or nullptr at the limit.
HWND TabAfterTyping(const Tool& tool, DWORD limitMs = 10000);
