#include "../GifFrameMemory.h"

#include <cstdlib>

void* GifFrameMemory::PlatformAlloc(uint32_t nBytes)
{
    // malloc(0) may answer NULL, which would read as a refusal.
    return std::malloc(nBytes != 0 ? nBytes : 1);
}

void GifFrameMemory::Free(void* pMemory)
{
    std::free(pMemory);
}
