#pragma once
#include "CString.h"

#include <windows.h>

// The full path of a module. A path that does not fit MAX_PATH is read again into
// larger buffers rather than used truncated; FALSE when no complete path is had.
BOOL GetModulePath(HMODULE hModule, CString& strPath);
