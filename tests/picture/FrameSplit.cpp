#include "FrameSplit.h"

#include <cstring>

#include "ExactBuffer.h"
#include "GifFrameMemory.h"
#include "GifScanner.h"

FrameSplit FrameSplit::Run(const uint8_t* pData, uint32_t nSize)
{
    FrameSplit split;
    split.bGif = GifScanner::IsGifHeader(pData, nSize);
    GifScanner scanner;
    const GifScanner::ScreenSize screen = scanner.BeginGifScan(pData, nSize);
    split.nScreenWidth = screen.cx;
    split.nScreenHeight = screen.cy;
    split.nCounted = scanner.CountFrames();
    scanner.RewindScan();
    // Seeded with values no extraction writes, so a field left unset shows.
    GifFrame record = {nullptr, -1, -1, -1, -1, 0xDEADBEEF, -1};
    for (;;)
    {
        uint32_t nBytes = 0;
        void* pMemory = scanner.ExtractNextFrame(&nBytes, &record);
        if (pMemory == nullptr)
            break;
        const uint8_t* pBytes = static_cast<const uint8_t*>(pMemory);
        split.frames.push_back(Frame{std::vector<uint8_t>(pBytes, pBytes + nBytes), record});
        GifFrameMemory::Free(pMemory);
    }
    scanner.EndGifScan();
    return split;
}

std::string FrameSplit::Problem(const uint8_t* pData, uint32_t nSize) const
{
    if (static_cast<int>(frames.size()) != nCounted)
        return "extracted " + std::to_string(frames.size()) + " frames of " + std::to_string(nCounted) + " counted";
    if (frames.empty())
        return "";
    if (nSize < 13)
        return "frames from data shorter than a header";

    const uint32_t nPacked = pData[10];
    const uint32_t nPrefix = 13 + ((nPacked & 0x80) != 0 ? 3u << ((nPacked & 7) + 1) : 0);
    for (size_t i = 0; i < frames.size(); ++i)
    {
        const std::string which = "frame " + std::to_string(i) + ": ";
        const std::vector<uint8_t>& bytes = frames[i].bytes;
        if (bytes.size() <= nPrefix || nPrefix > nSize)
            return which + "shorter than the header and colour table";
        if (std::memcmp(bytes.data(), pData, nPrefix) != 0)
            return which + "does not start with the source's header and colour table";
        if (bytes.back() != 0x3B)
            return which + "does not end in a trailer";

        const GifFrame& record = frames[i].record;
        if (record.nDisposalMethod < 0 || record.nDisposalMethod > 7)
            return which + "disposal method out of range";
        if (record.nLeft < 0 || record.nLeft > 0xFFFF || record.nTop < 0 || record.nTop > 0xFFFF
            || record.nWidth < 0 || record.nWidth > 0xFFFF || record.nHeight < 0 || record.nHeight > 0xFFFF)
            return which + "geometry not a widened 16-bit value";
        if (record.nDelayCs > 0xFFFF && record.nDelayCs != GifFrame::kNoDelay)
            return which + "delay neither 16-bit nor absent";

        const ExactBuffer copy(bytes);
        const FrameSplit again = Run(copy.Data(), copy.Size());
        if (again.nCounted != 1 || again.frames.size() != 1)
            return which + "re-scans as " + std::to_string(again.nCounted) + " frames";
        const Frame& same = again.frames[0];
        if (same.bytes != bytes)
            return which + "splits again into different bytes";
        if (same.record.nLeft != record.nLeft || same.record.nTop != record.nTop
            || same.record.nWidth != record.nWidth || same.record.nHeight != record.nHeight
            || same.record.nDelayCs != record.nDelayCs || same.record.nDisposalMethod != record.nDisposalMethod)
            return which + "splits again into a different record";
    }
    return "";
}
