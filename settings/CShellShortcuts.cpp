#include "CShellShortcuts.h"

#include <shlobj.h>

#include "UpdateShortcut.h"

namespace {
// A shell folder's path with pszTail appended; FALSE when the folder cannot be looked
// up or the path would not fit: appending to a failed look-up would name a relative
// or garbage path.
BOOL FolderFile(HWND hWnd, int nFolder, const wchar_t* pszTail, CString& strPath)
{
    WCHAR szFolder[Shortcut::kPathCapacity] = L"";
    return SUCCEEDED(::SHGetFolderPathW(hWnd, nFolder, nullptr, SHGFP_TYPE_CURRENT, szFolder)) &&
           Shortcut::JoinPath(szFolder, pszTail, strPath);
}
}  // namespace

void CShellShortcuts::Apply(HWND hWnd, BOOL bDesktop, BOOL bAutoRun)
{
    // An earlier version kept the start-up shortcut in a "启动" subfolder of the
    // programs folder, the start-up folder's name on disk on Chinese XP only; there
    // both are one file, so it goes only when unwanted.
    CString strLink, strLegacy = Shortcut::kLegacyStartupFolder;
    strLegacy += L"\\";
    strLegacy += Shortcut::kFileName;
    if (!bAutoRun && FolderFile(hWnd, CSIDL_PROGRAMS, strLegacy, strLink)) ::DeleteFileW(strLink);
    UpdateFolderShortcut(hWnd, CSIDL_STARTUP, Shortcut::kFileName, bAutoRun);
    UpdateFolderShortcut(hWnd, CSIDL_DESKTOP, Shortcut::kFileName, bDesktop);
}

void CShellShortcuts::UpdateFolderShortcut(HWND hWnd, int nFolder, const wchar_t* pszTail, BOOL bWanted)
{
    CString strLink;
    if (FolderFile(hWnd, nFolder, pszTail, strLink)) UpdateShortcut(bWanted, strLink);
}
