#pragma once
#include <windows.h>

// The program's shortcuts on the desktop and in the start-up folder, made or
// removed as the settings want them.
class CShellShortcuts {
public:
    static void Apply(HWND hWnd, BOOL bDesktop, BOOL bAutoRun);

private:
    static void UpdateFolderShortcut(HWND hWnd, int nFolder, const wchar_t* pszTail, BOOL bWanted);
};
