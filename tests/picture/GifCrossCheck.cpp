// Holds the frame splitter against giflib on GIF files given on the command
// line: frame count, each frame's delay, disposal method and geometry, and
// each extracted frame decoding, alone, to the same pixels and colours as
// the frame did in its source. Prints one line per file:
//   <file> <frames>            checked
//   <file> skip: <reason>      giflib cannot judge it
//   <file> FAIL: <reason>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ExactBuffer.h"
#include "FrameSplit.h"
#include "GiflibReader.h"

namespace {

class Slurp
{
public:
    Slurp(const uint8_t* pData, size_t nSize) : m_reader(pData, nSize)
    {
        int nError = 0;
        m_pGif = m_reader.Open(&nError);
        if (m_pGif != nullptr && DGifSlurp(m_pGif) != GIF_OK)
            m_nError = m_pGif->Error;
        else if (m_pGif == nullptr)
            m_nError = nError;
    }
    ~Slurp()
    {
        int nError = 0;
        if (m_pGif != nullptr)
            DGifCloseFile(m_pGif, &nError);
    }
    Slurp(const Slurp&) = delete;
    Slurp& operator=(const Slurp&) = delete;

    bool Ok() const { return m_pGif != nullptr && m_nError == 0; }
    int Error() const { return m_nError; }
    GifFileType* Gif() const { return m_pGif; }

private:
    GiflibReader m_reader;
    GifFileType* m_pGif = nullptr;
    int m_nError = 0;
};

// giflib files extensions of kinds it does not know under the image that
// follows, and it knows plain text as an extension rather than a frame; the
// scanner ends its walk on the first and counts the second, so such files
// say nothing about agreement.
std::string Unjudgeable(const GifFileType* pGif)
{
    auto look = [](const ExtensionBlock* pBlocks, int nBlocks) -> std::string {
        for (int i = 0; i < nBlocks; ++i)
        {
            const int nFunction = pBlocks[i].Function;
            if (nFunction == PLAINTEXT_EXT_FUNC_CODE)
                return "plain text extension";
            if (nFunction != GRAPHICS_EXT_FUNC_CODE && nFunction != COMMENT_EXT_FUNC_CODE
                && nFunction != APPLICATION_EXT_FUNC_CODE && nFunction != CONTINUE_EXT_FUNC_CODE)
                return "extension label " + std::to_string(nFunction);
        }
        return "";
    };
    for (int i = 0; i < pGif->ImageCount; ++i)
    {
        const std::string reason = look(pGif->SavedImages[i].ExtensionBlocks, pGif->SavedImages[i].ExtensionBlockCount);
        if (!reason.empty())
            return reason;
    }
    return look(pGif->ExtensionBlocks, pGif->ExtensionBlockCount);
}

const ColorMapObject* Colours(const GifFileType* pGif, const SavedImage& image)
{
    return image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : pGif->SColorMap;
}

bool SameColours(const ColorMapObject* pA, const ColorMapObject* pB)
{
    if (pA == nullptr || pB == nullptr)
        return pA == pB;
    return pA->ColorCount == pB->ColorCount
        && std::memcmp(pA->Colors, pB->Colors, sizeof(GifColorType) * pA->ColorCount) == 0;
}

std::string Check(const std::vector<uint8_t>& bytes)
{
    const Slurp source(bytes.data(), bytes.size());
    if (!source.Ok())
        return "skip: giflib error " + std::to_string(source.Error());
    const GifFileType* pGif = source.Gif();
    const std::string reason = Unjudgeable(pGif);
    if (!reason.empty())
        return "skip: " + reason;

    const ExactBuffer buffer(bytes);
    const FrameSplit split = FrameSplit::Run(buffer.Data(), buffer.Size());
    const std::string problem = split.Problem(buffer.Data(), buffer.Size());
    if (!problem.empty())
        return "FAIL: " + problem;
    if (split.nCounted != pGif->ImageCount)
        return "FAIL: " + std::to_string(split.nCounted) + " frames, giflib " + std::to_string(pGif->ImageCount);
    if (split.nScreenWidth != pGif->SWidth || split.nScreenHeight != pGif->SHeight)
        return "FAIL: logical screen size differs";

    for (int i = 0; i < pGif->ImageCount; ++i)
    {
        const std::string which = "frame " + std::to_string(i) + ": ";
        const SavedImage& image = pGif->SavedImages[i];
        const GifFrame& record = split.frames[i].record;
        GraphicsControlBlock control;
        uint32_t nDelay = GifFrame::kNoDelay;
        int nDisposal = 0;
        if (DGifSavedExtensionToGCB(const_cast<GifFileType*>(pGif), i, &control) == GIF_OK)
        {
            nDelay = static_cast<uint32_t>(control.DelayTime);
            nDisposal = control.DisposalMode;
        }
        if (record.nDelayCs != nDelay)
            return "FAIL: " + which + "delay " + std::to_string(record.nDelayCs) + ", giflib " + std::to_string(nDelay);
        if (record.nDisposalMethod != nDisposal)
            return "FAIL: " + which + "disposal " + std::to_string(record.nDisposalMethod) + ", giflib "
                + std::to_string(nDisposal);
        const GifImageDesc& desc = image.ImageDesc;
        if (record.nLeft != desc.Left || record.nTop != desc.Top || record.nWidth != desc.Width
            || record.nHeight != desc.Height)
            return "FAIL: " + which + "geometry differs";

        const std::vector<uint8_t>& frameBytes = split.frames[i].bytes;
        const Slurp alone(frameBytes.data(), frameBytes.size());
        if (!alone.Ok() || alone.Gif()->ImageCount != 1)
            return "FAIL: " + which + "giflib cannot read the extracted frame alone";
        const SavedImage& again = alone.Gif()->SavedImages[0];
        const size_t nPixels = static_cast<size_t>(desc.Width) * static_cast<size_t>(desc.Height);
        if (again.ImageDesc.Width != desc.Width || again.ImageDesc.Height != desc.Height
            || again.ImageDesc.Interlace != desc.Interlace
            || std::memcmp(again.RasterBits, image.RasterBits, nPixels) != 0)
            return "FAIL: " + which + "extracted frame decodes to other pixels";
        if (!SameColours(Colours(alone.Gif(), again), Colours(pGif, image)))
            return "FAIL: " + which + "extracted frame has other colours";
        GraphicsControlBlock againControl;
        const bool bAgainControl = DGifSavedExtensionToGCB(alone.Gif(), 0, &againControl) == GIF_OK;
        if (bAgainControl != (nDelay != GifFrame::kNoDelay)
            || (bAgainControl && againControl.TransparentColor != control.TransparentColor))
            return "FAIL: " + which + "extracted frame lost its graphic control";
    }
    return std::to_string(split.nCounted);
}

} // namespace

int main(int argc, char** argv)
{
    int nChecked = 0;
    int nFailed = 0;
    int nSkipped = 0;
    for (int i = 1; i < argc; ++i)
    {
        std::ifstream file(argv[i], std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const std::string result = file ? Check(bytes) : "FAIL: cannot read";
        std::printf("%s %s\n", argv[i], result.c_str());
        if (result.rfind("FAIL", 0) == 0)
            ++nFailed;
        else if (result.rfind("skip", 0) == 0)
            ++nSkipped;
        else
            ++nChecked;
    }
    std::printf("%d checked, %d failed, %d skipped\n", nChecked, nFailed, nSkipped);
    return nFailed == 0 && nChecked > 0 ? 0 : 1;
}
