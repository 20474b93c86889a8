#include "../GifFrameMemory.h"

#include <windows.h>

void* GifFrameMemory::PlatformAlloc(uint32_t nBytes)
{
    return GlobalAlloc(GMEM_FIXED, nBytes);
}

void GifFrameMemory::Free(void* pMemory)
{
    if (pMemory != nullptr)
        GlobalFree(static_cast<HGLOBAL>(pMemory));
}
