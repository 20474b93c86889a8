#pragma once
#include <windows.h>

#include "CString.h"

namespace Shortcut {
// The shortcuts' file name, the subfolder of the programs folder where an earlier
// version put the start-up shortcut, and the description each shortcut carries.
constexpr char kFileName[] = "Velodusk.lnk";
constexpr char kLegacyStartupFolder[] = "启动";
constexpr char kDescription[] = "关闭您的显示器，且可以锁定键盘、鼠标的工具";
// Link and executable paths must fit here with their terminator.
constexpr int kPathCapacity = MAX_PATH;

// "<folder>\<tail>" into out; FALSE (out untouched) when the folder is empty or the
// result would not fit kPathCapacity.
BOOL JoinPath(const char* pszFolder, const char* pszTail, CString& out);
}  // namespace Shortcut

// Creates (bCreate nonzero, replacing any file there) or deletes the shortcut to the
// running executable at strLinkPath. Silent: nothing is reported. A link path or an
// executable path that does not fit 260 characters leaves the shortcut alone, so none
// is ever saved at a truncated path or points at one.
void UpdateShortcut(BOOL bCreate, CString strLinkPath);
