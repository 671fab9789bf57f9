#include "dialog/fallback_captions_win.h"

#include <iterator>

namespace {

struct CaptionPair {
    const wchar_t* chinese;
    const wchar_t* english;
};

// Shortened where the English word does not fit its control at 8 points.
constexpr CaptionPair EnglishCaptions[] = {
    {L"Orvane 設定", L"Orvane Settings"},
    {L"驅動路徑", L"Driver path"},
    {L"麻將遊戲", L"Mahjong game"},
    {L"4向手把", L"4-way stick"},
    {L"方塊", L"Square"},
    {L"低解析度", L"Low res."},
    {L"中文翻譯：Orvane", L"Captions: Orvane"},
    {L"繁體中文", L"English"},
    {L"系統", L"Sys."},
    {L"離開", L"Exit"},
    {L"第一玩家", L"Player 1"},
    {L"第二玩家", L"Player 2"},
    {L"上", L"Up"},
    {L"下", L"Down"},
    {L"左", L"Left"},
    {L"右", L"Right"},
    {L"按鈕 1", L"Button 1"},
    {L"按鈕 2", L"Button 2"},
    {L"按鈕 3", L"Button 3"},
    {L"按鈕 4", L"Button 4"},
    {L"按鈕 5", L"Button 5"},
    {L"按鈕 6", L"Button 6"},
    {L"開始", L"Start"},
    {L"投幣", L"Coin"},
    {L"系統離開", L"Sys exit"},
    {L"麻將", L"Mahjong"},
    {L"槓", L"Kan"},
    {L"聽", L"Reach"},
    {L"胡", L"Ron"},
    {L"點", L"Point"},
    {L"吃", L"Chi"},
    {L"碰", L"Pon"},
    {L"大", L"Big"},
    {L"小", L"Small"},
    {L"以分數計算", L"Take score"},
    {L"交換", L"Swap"},
    {L"確定", L"OK"},
    {L"取消", L"Cancel"},
    {L"依序設定", L"Assign all"},
    {L"停止", L"Stop"},
    {L"跳過", L"Skip"},
    {L"清除按鍵", L"Clear key"},
};

bool gEnglish = false;

bool TraditionalChineseInstalled() {
    return IsValidLanguageGroup(LGRPID_TRADITIONAL_CHINESE, LGRPID_INSTALLED) != FALSE;
}

const wchar_t* EnglishFor(const wchar_t* chinese) {
    for (const CaptionPair& pair : EnglishCaptions)
        if (lstrcmpW(chinese, pair.chinese) == 0)
            return pair.english;
    return nullptr;
}

// Several controls share the ID -1, so each window is matched by its caption.
void UseEnglishCaptionOf(HWND window) {
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    if (const wchar_t* english = EnglishFor(caption))
        SetWindowTextW(window, english);
}

} // namespace

bool (*gCanShowChinese)() = TraditionalChineseInstalled;

void UseEnglishCaptions(HWND dialog) {
    gEnglish = true;
    UseEnglishCaptionOf(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        UseEnglishCaptionOf(child);
}

const wchar_t* ShownCaption(const wchar_t* chinese) {
    const wchar_t* english = gEnglish ? EnglishFor(chinese) : nullptr;
    return english != nullptr ? english : chinese;
}
