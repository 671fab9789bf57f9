// The Windows build finds the images among its own resources, as the program does at start-up.
#include "tests/test_support.h"

#include "settings/settings_win.h"

void InstallTemplates() {
    LocateTemplates(GetModuleHandleW(nullptr));
}
