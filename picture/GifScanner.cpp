#include "GifScanner.h"

#include <climits>
#include <cstring>

#include "GifFrameMemory.h"

namespace {

constexpr uint8_t kSignature[3] = {'G', 'I', 'F'};
constexpr uint8_t kVersion87a[3] = {'8', '7', 'a'};
constexpr uint8_t kVersion89a[3] = {'8', '9', 'a'};
constexpr uint32_t kSignatureOffset = 0;
constexpr uint32_t kVersionOffset = 3;

// Signature, version and logical screen descriptor.
constexpr uint32_t kHeaderBytes = 13;
constexpr uint32_t kScreenWidthOffset = 6;
constexpr uint32_t kScreenHeightOffset = 8;
constexpr uint32_t kScreenPackedOffset = 10;

// Shared by the logical screen descriptor and the image descriptor.
constexpr uint8_t kColorTableFlag = 0x80;
constexpr uint8_t kColorTableSizeMask = 0x07;
constexpr uint32_t kColorTableEntryBytes = 3;

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kPlainTextLabel = 0x01;

// Fixed parts are taken at their standard sizes; the size bytes inside them
// are not trusted, so a damaged size byte cannot send the walk astray.
constexpr uint32_t kApplicationFixedBytes = 14;
constexpr uint32_t kCommentFixedBytes = 2;
constexpr uint32_t kControlBytes = 8;
constexpr uint32_t kPlainTextFixedBytes = 15;
constexpr uint32_t kTrailerBytes = 1;
// Separator, four 16-bit geometry fields, packed byte, minimum code size.
constexpr uint32_t kImageFixedBytes = 11;

constexpr uint32_t kControlPackedOffset = 3;
constexpr uint32_t kControlDelayOffset = 4;
constexpr unsigned kDisposalShift = 2;
constexpr uint8_t kDisposalMask = 0x07;

constexpr uint32_t kImageLeftOffset = 1;
constexpr uint32_t kImageTopOffset = 3;
constexpr uint32_t kImageWidthOffset = 5;
constexpr uint32_t kImageHeightOffset = 7;
constexpr uint32_t kImagePackedOffset = 9;

constexpr uint32_t kTextGridLeftOffset = 3;
constexpr uint32_t kTextGridTopOffset = 5;
constexpr uint32_t kTextGridWidthOffset = 7;
constexpr uint32_t kTextGridHeightOffset = 9;

constexpr uint8_t kChainEnd = 0;
// Sub-blocks after the current one whose counts are tested in one go.
constexpr uint32_t kRunTestBlocks = 16;

inline uint32_t ReadU16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}

inline uint32_t ColorTableBytes(uint8_t nPacked)
{
    if ((nPacked & kColorTableFlag) == 0)
        return 0;
    return kColorTableEntryBytes << ((nPacked & kColorTableSizeMask) + 1);
}

inline bool IsUnattachedExtension(GifBlockKind kind)
{
    return kind == GifBlockApplication || kind == GifBlockComment;
}

inline bool IsGraphicBlock(GifBlockKind kind)
{
    return kind == GifBlockImage || kind == GifBlockPlainText;
}

} // namespace

GifScanner::GifScanner()
    : m_pScanData(nullptr), m_nScanSize(0), m_nScanPos(0), m_nColorTableBytes(0)
{
}

bool GifScanner::IsGifHeader(const uint8_t* pData, uint32_t nSize)
{
    if (pData == nullptr || nSize < kHeaderBytes)
        return false;
    if (std::memcmp(pData + kSignatureOffset, kSignature, sizeof kSignature) != 0)
        return false;
    const uint8_t* pVersion = pData + kVersionOffset;
    return std::memcmp(pVersion, kVersion87a, sizeof kVersion87a) == 0
        || std::memcmp(pVersion, kVersion89a, sizeof kVersion89a) == 0;
}

GifScanner::ScreenSize GifScanner::BeginGifScan(const uint8_t* pData, uint32_t nSize)
{
    ScreenSize size = {0, 0};
    m_pScanData = pData;
    m_nScanSize = pData != nullptr ? nSize : 0;
    m_nColorTableBytes = 0;
    if (pData == nullptr || nSize < kHeaderBytes)
        return size;
    size.cx = static_cast<int32_t>(ReadU16(pData + kScreenWidthOffset));
    size.cy = static_cast<int32_t>(ReadU16(pData + kScreenHeightOffset));
    m_nColorTableBytes = ColorTableBytes(pData[kScreenPackedOffset]);
    return size;
}

void GifScanner::EndGifScan()
{
    m_pScanData = nullptr;
}

void GifScanner::RewindScan()
{
    m_nScanPos = kHeaderBytes + m_nColorTableBytes;
}

GifBlockKind GifScanner::PeekBlockKind() const
{
    if (m_pScanData == nullptr || m_nScanPos >= m_nScanSize)
        return GifBlockUnrecognised;
    switch (m_pScanData[m_nScanPos])
    {
    case kImageSeparator:
        return GifBlockImage;
    case kTrailer:
        return GifBlockTrailer;
    case kExtensionIntroducer:
        break;
    default:
        return GifBlockUnrecognised;
    }
    if (m_nScanSize - m_nScanPos < 2)
        return GifBlockUnrecognised;
    switch (m_pScanData[m_nScanPos + 1])
    {
    case kApplicationLabel:
        return GifBlockApplication;
    case kCommentLabel:
        return GifBlockComment;
    case kGraphicControlLabel:
        return GifBlockControl;
    case kPlainTextLabel:
        return GifBlockPlainText;
    default:
        return GifBlockUnrecognised;
    }
}

// Only the count bytes are read, so a chain is measured by hopping from one
// count to the next; the data bytes need not even lie within the buffer
// until the next count byte is wanted. 0 when a count byte would lie at or
// past the end.
//
// Each hop depends on the byte the previous one read, so a plain walk waits
// on memory once per sub-block. Encoders cut image data into sub-blocks of
// one size, though, so while the counts repeat, where the next ones must be
// is known without reading them: a run is tested many counts at a time, with
// loads whose addresses depend on no loaded byte, and only the count that
// breaks the run (or the end of the data) is walked hop by hop again.
uint64_t GifScanner::MeasureChain(uint64_t nOffset) const
{
    const uint8_t* pData = m_pScanData;
    const uint64_t nSize = m_nScanSize;
    uint64_t q = nOffset;
    while (q < nSize)
    {
        const uint8_t n = pData[q];
        if (n == kChainEnd)
            return q - nOffset + 1;
        const uint64_t nSpan = static_cast<uint64_t>(n) + 1;
        uint64_t nStep = nSpan;
        while (nSize - q > kRunTestBlocks * nSpan)
        {
            const uint8_t* p = pData + q;
            unsigned nDiffer = 0;
            for (uint32_t k = 1; k <= kRunTestBlocks; ++k)
                nDiffer |= static_cast<unsigned>(p[k * nSpan] ^ n);
            if (nDiffer != 0)
            {
                // The counts before the first one that differs repeat n, so
                // that one is a real count byte; the walk goes on from there.
                uint64_t k = 1;
                while (p[k * nSpan] == n)
                    ++k;
                nStep = k * nSpan;
                break;
            }
            q += kRunTestBlocks * nSpan;
        }
        q += nStep;
    }
    return 0;
}

int GifScanner::MeasureSubBlocks(uint32_t nOffset) const
{
    if (m_pScanData == nullptr)
        return 0;
    const uint64_t nLength = MeasureChain(nOffset);
    return nLength <= INT_MAX ? static_cast<int>(nLength) : 0;
}

// -1 for an unrecognised block, 0 for one that cannot be measured within the
// data or whose length does not fit an int, else its length.
int64_t GifScanner::MeasureCurrent() const
{
    uint64_t nFixed = 0;
    switch (PeekBlockKind())
    {
    case GifBlockUnrecognised:
        return -1;
    case GifBlockControl:
        return kControlBytes;
    case GifBlockTrailer:
        return kTrailerBytes;
    case GifBlockApplication:
        nFixed = kApplicationFixedBytes;
        break;
    case GifBlockComment:
        nFixed = kCommentFixedBytes;
        break;
    case GifBlockPlainText:
        nFixed = kPlainTextFixedBytes;
        break;
    case GifBlockImage:
    {
        const uint64_t nPackedAt = static_cast<uint64_t>(m_nScanPos) + kImagePackedOffset;
        if (nPackedAt >= m_nScanSize)
            return 0;
        nFixed = kImageFixedBytes + ColorTableBytes(m_pScanData[nPackedAt]);
        break;
    }
    }
    const uint64_t nChain = MeasureChain(static_cast<uint64_t>(m_nScanPos) + nFixed);
    if (nChain == 0 || nFixed + nChain > INT_MAX)
        return 0;
    return static_cast<int64_t>(nFixed + nChain);
}

int GifScanner::MeasureBlock() const
{
    if (m_pScanData == nullptr)
        return 0;
    return static_cast<int>(MeasureCurrent());
}

bool GifScanner::StepBy(int64_t nLength)
{
    if (nLength <= 0)
        return false;
    const uint64_t nEnd = static_cast<uint64_t>(m_nScanPos) + static_cast<uint64_t>(nLength);
    if (nEnd > m_nScanSize)
        return false;
    m_nScanPos = static_cast<uint32_t>(nEnd);
    return true;
}

bool GifScanner::StepOverBlock()
{
    if (m_pScanData == nullptr)
        return false;
    return StepBy(MeasureCurrent());
}

// Steps over application and comment extensions, and graphic control
// extensions too when asked, and answers the kind of the block reached.
bool GifScanner::PassExtensions(bool bControlsToo, GifBlockKind* pKind)
{
    GifBlockKind kind = PeekBlockKind();
    while (IsUnattachedExtension(kind) || (bControlsToo && kind == GifBlockControl))
    {
        if (!StepBy(MeasureCurrent()))
            return false;
        kind = PeekBlockKind();
    }
    *pKind = kind;
    return true;
}

bool GifScanner::SkipFrame()
{
    if (m_pScanData == nullptr)
        return false;
    GifBlockKind kind;
    if (!PassExtensions(false, &kind) || kind == GifBlockUnrecognised || kind == GifBlockTrailer)
        return false;
    if (kind == GifBlockControl)
    {
        if (!StepBy(MeasureCurrent()) || !PassExtensions(true, &kind) || !IsGraphicBlock(kind))
            return false;
    }
    return StepBy(MeasureCurrent());
}

int GifScanner::CountFrames()
{
    if (m_pScanData == nullptr)
        return 0;
    RewindScan();
    int nFrames = 0;
    while (SkipFrame())
        ++nFrames;
    return nFrames;
}

void* GifScanner::ExtractNextFrame(uint32_t* pnBytes, GifFrame* pFrame)
{
    if (pnBytes == nullptr || pFrame == nullptr)
        return nullptr;
    pFrame->nDisposalMethod = 0;
    if (m_pScanData == nullptr)
        return nullptr;

    // A stale position could otherwise find a frame in data whose global
    // colour table, which every extracted frame copies, is not all there.
    const uint64_t nPrefix = static_cast<uint64_t>(kHeaderBytes) + m_nColorTableBytes;
    if (nPrefix > m_nScanSize)
        return nullptr;

    GifBlockKind kind;
    if (!PassExtensions(false, &kind) || kind == GifBlockUnrecognised || kind == GifBlockTrailer)
        return nullptr;
    const uint32_t nStart = m_nScanPos;
    int64_t nLength = MeasureCurrent();
    if (nLength <= 0)
        return nullptr;

    if (kind == GifBlockControl)
    {
        // Stepping first proves all eight bytes lie within the data.
        if (!StepBy(nLength))
            return nullptr;
        const uint8_t* pControl = m_pScanData + nStart;
        pFrame->nDelayCs = ReadU16(pControl + kControlDelayOffset);
        pFrame->nDisposalMethod = (pControl[kControlPackedOffset] >> kDisposalShift) & kDisposalMask;
        if (!PassExtensions(true, &kind) || !IsGraphicBlock(kind))
            return nullptr;
        nLength = MeasureCurrent();
        if (nLength <= 0)
            return nullptr;
    }
    else
    {
        pFrame->nDelayCs = GifFrame::kNoDelay;
    }

    // A measured block has its packed byte (image) or first count byte
    // (plain text) within the data, so the fields before it are there too.
    const uint8_t* pGraphic = m_pScanData + m_nScanPos;
    if (kind == GifBlockImage)
    {
        pFrame->nLeft = static_cast<int32_t>(ReadU16(pGraphic + kImageLeftOffset));
        pFrame->nTop = static_cast<int32_t>(ReadU16(pGraphic + kImageTopOffset));
        pFrame->nWidth = static_cast<int32_t>(ReadU16(pGraphic + kImageWidthOffset));
        pFrame->nHeight = static_cast<int32_t>(ReadU16(pGraphic + kImageHeightOffset));
    }
    else
    {
        // The text is drawn into its grid, so the grid is the area the frame
        // covers and the one its disposal has to clear or restore.
        pFrame->nLeft = static_cast<int32_t>(ReadU16(pGraphic + kTextGridLeftOffset));
        pFrame->nTop = static_cast<int32_t>(ReadU16(pGraphic + kTextGridTopOffset));
        pFrame->nWidth = static_cast<int32_t>(ReadU16(pGraphic + kTextGridWidthOffset));
        pFrame->nHeight = static_cast<int32_t>(ReadU16(pGraphic + kTextGridHeightOffset));
    }

    const uint64_t nBody = static_cast<uint64_t>(m_nScanPos - nStart) + static_cast<uint64_t>(nLength);
    if (!StepBy(nLength))
        return nullptr;

    const uint64_t nTotal = nPrefix + nBody + kTrailerBytes;
    if (nTotal > UINT32_MAX)
        return nullptr;
    uint8_t* pOut = static_cast<uint8_t*>(GifFrameMemory::Alloc(static_cast<uint32_t>(nTotal)));
    if (pOut == nullptr)
        return nullptr;
    std::memcpy(pOut, m_pScanData, static_cast<size_t>(nPrefix));
    std::memcpy(pOut + nPrefix, m_pScanData + nStart, static_cast<size_t>(nBody));
    pOut[nPrefix + nBody] = kTrailer;
    *pnBytes = static_cast<uint32_t>(nTotal);
    return pOut;
}
