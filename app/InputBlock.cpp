#include "InputBlock.h"

BOOL SetInputBlocked(BOOL bBlock)
{
    typedef BOOL(WINAPI * BlockInputProc)(BOOL);
    HMODULE hUser32 = ::LoadLibraryA("user32.dll");
    if (!hUser32) return FALSE;
    BlockInputProc pfnBlockInput =
        reinterpret_cast<BlockInputProc>(reinterpret_cast<void*>(::GetProcAddress(hUser32, "BlockInput")));
    BOOL bDone = FALSE;
    if (bBlock && pfnBlockInput) bDone = pfnBlockInput(TRUE);
    ::FreeLibrary(hUser32);
    return bDone;
}
