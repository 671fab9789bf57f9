// English captions for a Windows without Chinese fonts: Western XP shows every Chinese caption as a
// row of boxes unless the East Asian language files were installed. Vista and later always have them.
#pragma once

#include <windows.h>

// Whether Windows can show the dialog's Traditional Chinese captions; tests replace it.
extern bool (*gCanShowChinese)();

// Puts the English caption in place of every Chinese one: the window's and every child's.
void UseEnglishCaptions(HWND dialog);

// The caption to show for a Chinese one: the English words once UseEnglishCaptions has run.
const wchar_t* ShownCaption(const wchar_t* chinese);
