// Driver path text in the system's ANSI code page.
#include "dialog/driver_path_win.h"

#include <algorithm>

std::wstring DriverPathText(const DriverPathBytes& bytes) {
    const char* narrow = reinterpret_cast<const char*>(bytes);
    int length = static_cast<int>(std::find(bytes, bytes + DriverPathSize, 0) - bytes);
    if (length == 0)
        return {};
    std::wstring text(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, narrow, length, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow, length, text.data(), static_cast<int>(text.size()));
    return text;
}

PathStoring TextToDriverPath(const std::wstring& text, DriverPathBytes& bytes) {
    std::fill(bytes, bytes + DriverPathSize, 0);
    if (text.empty())
        return PathStored;
    // A UTF-8 system code page (an option of Windows 10 and later) stores every character and
    // takes neither the no-best-fit flag nor the used-default report.
    bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    std::string narrow(text.size() * 3, '\0');
    int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                     static_cast<int>(text.size()), narrow.data(),
                                     static_cast<int>(narrow.size()), nullptr, utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault)
        return PathHasForeignCharacters;
    if (length > LongestDriverPath)
        return PathTooLong;
    std::copy(narrow.begin(), narrow.begin() + length, bytes);
    return PathStored;
}
