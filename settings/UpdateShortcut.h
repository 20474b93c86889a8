#pragma once
#include <windows.h>

#include "CString.h"

namespace Shortcut {
// The shortcuts' file name and the subfolder of the programs folder where an earlier
// version put the start-up shortcut. The description each shortcut carries is a
// string of the user-interface language (IDS_SHORTCUT_DESCRIPTION).
constexpr wchar_t kFileName[] = L"Velodusk.lnk";
constexpr wchar_t kLegacyStartupFolder[] = L"启动";
// Link and executable paths must fit here with their terminator.
constexpr int kPathCapacity = MAX_PATH;

// "<folder>\<tail>" into out; FALSE (out untouched) when the folder is empty or the
// result would not fit kPathCapacity.
BOOL JoinPath(const wchar_t* pszFolder, const wchar_t* pszTail, CString& out);
}  // namespace Shortcut

// Creates (bCreate nonzero, replacing any file there) or deletes the shortcut to the
// running executable at strLinkPath. Silent: nothing is reported. A link path or an
// executable path that does not fit 260 characters leaves the shortcut alone, so none
// is ever saved at a truncated path or points at one.
void UpdateShortcut(BOOL bCreate, CString strLinkPath);
