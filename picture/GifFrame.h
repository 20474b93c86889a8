#ifndef VELODUSK_PICTURE_GIFFRAME_H
#define VELODUSK_PICTURE_GIFFRAME_H

#include <cstdint>

// mingw declares IPicture as a struct, so this matches its declaration and
// keeps the frame record free of the Windows headers.
struct IPicture;

// What the picture control keeps for each loaded frame of an animated GIF.
// The splitter fills everything but pPicture.
struct GifFrame
{
    // A frame with no graphic control extension has no delay of its own.
    static constexpr uint32_t kNoDelay = 0xFFFFFFFFu;

    IPicture* pPicture;   // one reference, held by whoever keeps the record
    int32_t nWidth;
    int32_t nHeight;
    int32_t nLeft;
    int32_t nTop;
    uint32_t nDelayCs;    // hundredths of a second
    int32_t nDisposalMethod;
};

#endif
