// Benchmarks of the real program under Wine: start-up time beside a program that shows only the
// tool's own dialog template and beside a minimal dialog program, the CPU
// that one capture uses, the idle dialog's CPU with the live key test and without, the pace of a
// sequence over every input, 200 start/OK runs, and how many short key taps a capture sees.
// Usage: tool_bench TOOL.exe MINIMAL.exe TEMPLATE.exe [--starts]
// With --starts, only the start-up times.
#include "tests/e2e_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <vector>

namespace {

constexpr int StartRuns = 10;
constexpr int OkCycles = 200;
constexpr int TapTries = 20;
constexpr int TapHoldsMs[] = {0, 10, 30, 50, 100};

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Looked for every 2 ms: the tests' 20 ms steps, a tenth of a start, would round every time taken.
Tool StartProgram(const std::wstring& exe, const wchar_t* caption) {
    gToolPath = exe;
    Tool tool = Start();
    tool.dialog = WaitForWindow(tool, caption, 15000, 2);
    return tool;
}

void Close(Tool& tool) {
    PostMessageW(tool.dialog, WM_CLOSE, 0, 0);
    WaitForExit(tool);
}

// Each program's start times, taken in turn, one start of each per round, so that a machine that grows
// busier or quieter meanwhile weighs on each alike.
std::vector<std::vector<double>>
StartSeconds(const std::vector<std::pair<std::wstring, const wchar_t*>>& programs) {
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < StartRuns; ++run)
        for (size_t i = 0; i < programs.size(); ++i) {
            double start = Seconds();
            Tool tool = StartProgram(programs[i].first, programs[i].second);
            times[i].push_back(Seconds() - start);
            Close(tool);
        }
    return times;
}

// The tool's CPU time as Linux counts it (Wine's own process times leave out worker threads):
// user and system clock ticks of /proc/PID/stat, at 100 ticks a second.
double ToolCpuSeconds() {
    RunUnix(L"for p in $(pgrep -f 'orvane_config[.]exe'); do cat /proc/$p/stat; done | "
            L"awk '{s += $14 + $15} END {print s}' > /tmp/orvane-bench-cpu");
    std::ifstream in("Z:\\tmp\\orvane-bench-cpu");
    double ticks = 0;
    in >> ticks;
    return ticks / 100.0;
}

double CpuPercentOver(DWORD milliseconds) {
    double cpu = ToolCpuSeconds(), start = Seconds();
    Sleep(milliseconds);
    double used = ToolCpuSeconds() - cpu;
    return 100.0 * used / (Seconds() - start);
}

void StartCaptureOfSlot0(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(3000, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, 3000)));
    WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(dialog, 3000)); }, 2000);
}

void MeasureCaptureCpu(const std::wstring& exe) {
    Tool tool = StartProgram(exe, DialogCaption);
    Sleep(500);
    double idle = CpuPercentOver(3000);
    StartCaptureOfSlot0(tool.dialog);
    double capturing = CpuPercentOver(8000);
    printf("CPU of the tool: %.1f %% of a core idle, %.1f %% while one capture runs\n", idle, capturing);
    Close(tool);
}

// The idle dialog in front, where the live key test waits for the keyboard's signal, beside the same
// dialog behind another window, where the test shows nothing.
void MeasureKeyTestCpu(const std::wstring& exe) {
    Tool tool = StartProgram(exe, DialogCaption);
    TypeOnDialog(L"sleep 0.5");
    bool inFront = GetForegroundWindow() == tool.dialog;
    double testing = CpuPercentOver(10000);
    HWND other = CreateWindowExW(0, L"Static", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    Sleep(500);
    bool behind = GetForegroundWindow() == other;
    double stopped = CpuPercentOver(10000);
    printf("CPU of the idle dialog: %.2f %% of a core in front with the key test running%s, %.2f %% behind "
           "another window with the test stopped%s\n",
           testing, inFront ? "" : " (NOT IN FRONT)", stopped, behind ? "" : " (NOT BEHIND)");
    DestroyWindow(other);
    Close(tool);
}

void XdoKeys(const std::wstring& keys) {
    RunUnix(L"/usr/bin/xdotool search --name Orvane windowfocus --sync %1 " + keys);
}

// One capture, one tap of X held for holdMs; true if the capture took it.
bool TapCaptured(HWND dialog, int holdMs, const std::wstring& tappedName) {
    StartCaptureOfSlot0(dialog);
    Sleep(150);
    std::wstring hold = holdMs > 0 ? L"sleep " + std::to_wstring(holdMs / 1000.0) + L" " : L"";
    XdoKeys(L"keydown x " + hold + L"keyup x");
    bool captured = WaitUntil([&] { return Text(dialog, 2000) == tappedName; }, 400);
    if (!captured)
        XdoKeys(L"keydown Shift_L sleep 0.2 keyup Shift_L"); // ends the capture
    WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, 3000)) != FALSE; }, 3000);
    Sleep(100);
    return captured;
}

std::vector<int> TapCounts(const std::wstring& exe) {
    Tool tool = StartProgram(exe, DialogCaption);
    std::wstring tappedName = PlatformKeyName(0x002D0000);
    std::vector<int> counts;
    for (int hold : TapHoldsMs) {
        int seen = 0;
        for (int attempt = 0; attempt < TapTries; ++attempt)
            seen += TapCaptured(tool.dialog, hold, tappedName) ? 1 : 0;
        counts.push_back(seen);
    }
    Close(tool);
    return counts;
}

// Starts a program of the Linux side and returns at once.
void StartUnix(std::wstring commandLine) {
    std::wstring wrapped = L"/bin/sh -c \"" + commandLine + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, wrapped.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

bool ShowsName(const std::wstring& text) {
    return !text.empty() && !std::all_of(text.begin(), text.end(), iswdigit);
}

// One sequence over the standard layout's 28 inputs, 28 different keys held 80 ms, 300 ms apart:
// the time from the first key's name to the last one's, and from each input's name to the next
// input's countdown (the key's release and the next snapshot).
void MeasureSequence(const std::wstring& exe) {
    Tool tool = StartProgram(exe, DialogCaption);
    std::vector<int> fields;
    for (int slot = 0; slot < 26; ++slot)
        fields.push_back(2000 + slot);
    fields.push_back(2098);
    fields.push_back(2099);
    PostMessageW(tool.dialog, WM_COMMAND, MAKEWPARAM(1007, BN_CLICKED), 0);
    WaitUntil([&] { return Text(tool.dialog, fields[0]) == L"100"; }, 3000);
    std::wstring keys = L"/usr/bin/xdotool search --name Orvane windowfocus --sync %1";
    std::vector<std::wstring> names; // none a digit, so that a name never looks like a countdown
    for (wchar_t letter = L'a'; letter <= L'z'; ++letter)
        names.push_back(std::wstring(1, letter));
    names.push_back(L"comma");
    names.push_back(L"period");
    for (const std::wstring& key : names)
        keys += L" keydown " + key + L" sleep 0.08 keyup " + key + L" sleep 0.3";
    // The typing leaves a mark when it is done: Wine cannot wait for a program of the Linux side.
    const wchar_t typed[] = L"Z:\\tmp\\orvane-bench-typed";
    DeleteFileW(typed);
    StartUnix(keys + L"; : > /tmp/orvane-bench-typed");
    std::vector<double> named, gaps;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!WaitUntil([&] { return ShowsName(Text(tool.dialog, fields[i])); }, 5000))
            break;
        named.push_back(Seconds());
        if (i + 1 < fields.size() &&
            WaitUntil([&] { return Text(tool.dialog, fields[i + 1]) == L"100"; }, 5000))
            gaps.push_back(Seconds() - named.back());
    }
    if (named.size() == fields.size() && !gaps.empty()) {
        printf("Sequence of 28 keys (held 80 ms, 300 ms apart): first to last name shown %.0f ms; "
               "name to next countdown: median %.0f ms, max %.0f ms\n",
               (named.back() - named.front()) * 1000, Median(gaps) * 1000,
               *std::max_element(gaps.begin(), gaps.end()) * 1000);
    } else {
        printf("Sequence of 28 keys: only %zu of %zu names shown\n", named.size(), fields.size());
    }
    // The last key's release is still to come: a window closed before it would leave the key down in
    // X for the next program.
    WaitUntil([&] { return GetFileAttributesW(typed) != INVALID_FILE_ATTRIBUTES; }, 20000);
    DeleteFileW(typed);
    Close(tool);
}

// Start, OK, exit, again and again over one edited file: the pace, and whether the file stays as
// the first run wrote it.
void MeasureOkCycles(const std::wstring& exe) {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[37] = 0x1E;
    std::memcpy(&file[1372 - 260], "C:\\drivers\\orvane", 17);
    WriteBytes(BindingsFileName, file);
    std::vector<double> times;
    bool kept = true;
    for (int run = 0; run < OkCycles; ++run) {
        double start = Seconds();
        Tool tool = StartProgram(exe, DialogCaption);
        PostMessageW(tool.dialog, WM_COMMAND, IDOK, 0);
        long code = WaitForExit(tool);
        times.push_back(Seconds() - start);
        kept = kept && tool.dialog != nullptr && code == 0 && ReadBytes(BindingsFileName) == file &&
               FolderContents(".") == std::vector<std::string>{BindingsFileName};
    }
    printf("%d runs of start, OK and exit: median %.0f ms, max %.0f ms; the file %s\n", OkCycles,
           Median(times) * 1000, *std::max_element(times.begin(), times.end()) * 1000,
           kept ? "and the folder stayed as they were" : "or the folder CHANGED, or a run failed");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: tool_bench TOOL.exe MINIMAL.exe TEMPLATE.exe\n");
        return 2;
    }
    std::wstring tool = ToWindowsPath(argv[1]), minimal = ToWindowsPath(argv[2]),
                 toolTemplate = ToWindowsPath(argv[3]);
    ScratchFolder folder;
    WriteBytes(BindingsFileName, BuildImageFromRules(StandardLayout));

    std::vector<std::vector<double>> times =
        StartSeconds({{tool, DialogCaption}, {toolTemplate, DialogCaption}, {minimal, L"Minimal dialog"}});
    double toolStart = Median(times[0]), templateStart = Median(times[1]), minimalStart = Median(times[2]);
    std::vector<double> roundRatios;
    for (int run = 0; run < StartRuns; ++run)
        roundRatios.push_back(times[0][run] / times[1][run]);
    printf(
        "Start to visible dialog, median of %d, the programs started in turn: tool %.0f ms, the tool's own "
        "template shown by a bare program %.0f ms (ratio %.2f; median of the rounds' ratios %.2f), minimal "
        "dialog program %.0f ms (ratio %.2f)\n",
        StartRuns, toolStart * 1000, templateStart * 1000, toolStart / templateStart, Median(roundRatios),
        minimalStart * 1000, toolStart / minimalStart);
    fflush(stdout);
    if (argc > 4 && strcmp(argv[4], "--starts") == 0)
        return 0;

    MeasureCaptureCpu(tool);
    fflush(stdout);

    MeasureKeyTestCpu(tool);
    fflush(stdout);

    MeasureSequence(tool);
    fflush(stdout);

    MeasureOkCycles(tool);
    fflush(stdout);
    WriteBytes(BindingsFileName, BuildImageFromRules(StandardLayout));

    std::vector<int> sampled = TapCounts(tool);
    printf("Key taps captured, of %d tries:\n  hold (ms)             ", TapTries);
    for (int hold : TapHoldsMs)
        printf("%5d", hold);
    printf("\n  seen                  ");
    for (int count : sampled)
        printf("%5d", count);
    printf("\n");
    return 0;
}
