#ifndef VELODUSK_PICTURE_GIFFRAMEMEMORY_H
#define VELODUSK_PICTURE_GIFFRAMEMEMORY_H

#include <cstdint>

// Memory for one extracted frame. On Windows it is an HGLOBAL from
// GlobalAlloc(GMEM_FIXED), which is also a plain pointer to the bytes, so that
// the control can hand it to CreateStreamOnHGlobal; natively it is malloc'd.
class GifFrameMemory
{
public:
    typedef void* (*AllocHook)(uint32_t nBytes);

    static void* Alloc(uint32_t nBytes)
    {
        return s_pfnAllocHook != nullptr ? s_pfnAllocHook(nBytes) : PlatformAlloc(nBytes);
    }

    static void* PlatformAlloc(uint32_t nBytes);
    static void Free(void* pMemory);

    // Lets a test refuse or count allocations; a hook hands out memory from
    // PlatformAlloc so that Free stays right. NULL restores PlatformAlloc.
    static AllocHook SetAllocHook(AllocHook pfnHook)
    {
        AllocHook pfnOld = s_pfnAllocHook;
        s_pfnAllocHook = pfnHook;
        return pfnOld;
    }

private:
    static inline AllocHook s_pfnAllocHook = nullptr;
};

#endif
