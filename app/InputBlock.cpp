#include "InputBlock.h"

void SetInputBlocked(BOOL bBlock)
{
    typedef BOOL(WINAPI * BlockInputProc)(BOOL);
    HMODULE hUser32 = ::LoadLibraryA("user32.dll");
    if (!hUser32) return;
    BlockInputProc pfnBlockInput =
        reinterpret_cast<BlockInputProc>(reinterpret_cast<void*>(::GetProcAddress(hUser32, "BlockInput")));
    if (bBlock && pfnBlockInput) pfnBlockInput(TRUE);
    ::FreeLibrary(hUser32);
}
