#include "ModulePath.h"

namespace {
// The longest path the system's extended-length form allows.
constexpr DWORD kMaxModulePath = 32768;
}

BOOL GetModulePath(HMODULE hModule, CString& strPath)
{
    for (DWORD nSize = MAX_PATH; nSize <= kMaxModulePath; nSize *= 2) {
        DWORD n = ::GetModuleFileNameW(hModule, strPath.GetBuffer(static_cast<int>(nSize)), nSize);
        // A full buffer means truncation (XP does not even terminate it).
        if (n > 0 && n < nSize) {
            strPath.ReleaseBuffer(static_cast<int>(n));
            return TRUE;
        }
        strPath.ReleaseBuffer(0);
        if (n == 0) return FALSE;
    }
    return FALSE;
}
