#ifndef VELODUSK_PICTURE_GIFSCANNER_H
#define VELODUSK_PICTURE_GIFSCANNER_H

#include <cstdint>

#include "GifFrame.h"

// What the bytes at the scan position hold, decided by their first one or two bytes.
enum GifBlockKind
{
    GifBlockUnrecognised = 0,
    GifBlockApplication = 1,
    GifBlockComment = 2,
    GifBlockControl = 3,
    GifBlockPlainText = 4,
    GifBlockImage = 5,
    GifBlockTrailer = 6
};

// Forward-only walk over a GIF held in memory: classifies, measures and steps
// over its blocks, counts its frames and copies each frame into a GIF of its
// own. Nothing is decoded; colour tables and image data are only measured and
// copied. No byte at or past the end of the data is ever read.
//
// The picture control derives from this class and drives it within one load;
// while no scan is running (m_pScanData NULL) every query answers
// GifBlockUnrecognised, 0, false or NULL.
class GifScanner
{
public:
    struct ScreenSize
    {
        int32_t cx;
        int32_t cy;
    };

    GifScanner();

    static bool IsGifHeader(const uint8_t* pData, uint32_t nSize);

    // The bytes stay the caller's; they must outlive the scan. Answers the
    // logical screen size, or 0 x 0 for data shorter than the header.
    ScreenSize BeginGifScan(const uint8_t* pData, uint32_t nSize);
    void EndGifScan();
    void RewindScan();

    GifBlockKind PeekBlockKind() const;
    int MeasureSubBlocks(uint32_t nOffset) const;
    int MeasureBlock() const;
    bool StepOverBlock();

    bool SkipFrame();
    int CountFrames();

    // Answers a complete single-frame GIF of *pnBytes bytes, owned by the
    // caller and released with GifFrameMemory::Free (on Windows an HGLOBAL of
    // fixed memory). pFrame gets everything but pPicture.
    void* ExtractNextFrame(uint32_t* pnBytes, GifFrame* pFrame);

protected:
    const uint8_t* m_pScanData;
    uint32_t m_nScanSize;
    uint32_t m_nScanPos;
    uint32_t m_nColorTableBytes;

private:
    uint64_t MeasureChain(uint64_t nOffset) const;
    int64_t MeasureCurrent() const;
    bool StepBy(int64_t nLength);
    bool PassExtensions(bool bControlsToo, GifBlockKind* pKind);
};

#endif
