#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include "ExactBuffer.h"
#include "GifScanner.h"

namespace {

// A real encoder's animated GIF (sub-rectangle frames, local colour tables,
// several disposal methods), built into the executable so that Wine needs no
// path to the source tree.
const uint8_t kAnimatedGif[] = {
#include "AnimatedGif.inc"
};

class ComApartment
{
public:
    ComApartment() : m_hr(CoInitialize(nullptr)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }

private:
    HRESULT m_hr;
};

COLORREF CentrePixel(IPicture* pPicture)
{
    OLE_XSIZE_HIMETRIC nWidth = 0;
    OLE_YSIZE_HIMETRIC nHeight = 0;
    pPicture->get_Width(&nWidth);
    pPicture->get_Height(&nHeight);
    HDC hScreen = GetDC(nullptr);
    const int cx = MulDiv(nWidth, GetDeviceCaps(hScreen, LOGPIXELSX), 2540);
    const int cy = MulDiv(nHeight, GetDeviceCaps(hScreen, LOGPIXELSY), 2540);
    HDC hDC = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, cx, cy);
    HGDIOBJ hOld = SelectObject(hDC, hBitmap);
    COLORREF colour = CLR_INVALID;
    if (pPicture->Render(hDC, 0, 0, cx, cy, 0, nHeight, nWidth, -nHeight, nullptr) == S_OK)
        colour = GetPixel(hDC, cx / 2, cy / 2);
    SelectObject(hDC, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hDC);
    ReleaseDC(nullptr, hScreen);
    return colour;
}

TEST(GifFrameOle, EveryExtractedFrameLoadsThroughAStreamOnItsGlobalMemory)
{
    ComApartment com;
    const ExactBuffer gif(kAnimatedGif, sizeof kAnimatedGif);
    GifScanner scanner;
    scanner.BeginGifScan(gif.Data(), gif.Size());
    const int nCounted = scanner.CountFrames();
    ASSERT_GE(nCounted, 2);

    scanner.RewindScan();
    GifFrame frame = {};
    uint32_t nBytes = 0;
    int nLoaded = 0;
    while (HGLOBAL hFrame = static_cast<HGLOBAL>(scanner.ExtractNextFrame(&nBytes, &frame)))
    {
        EXPECT_EQ(GlobalSize(hFrame), nBytes);
        EXPECT_EQ(GlobalLock(hFrame), static_cast<void*>(hFrame)) << "fixed memory is its own address";
        GlobalUnlock(hFrame);

        IStream* pStream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(hFrame, TRUE, &pStream), S_OK);
        IPicture* pPicture = nullptr;
        const HRESULT hr = OleLoadPicture(pStream, static_cast<LONG>(nBytes), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&pPicture));
        pStream->Release();  // frees the frame's memory
        EXPECT_EQ(hr, S_OK) << "frame " << nLoaded;
        if (FAILED(hr) || pPicture == nullptr)
            break;

        SHORT nType = PICTYPE_UNINITIALIZED;
        pPicture->get_Type(&nType);
        EXPECT_EQ(nType, PICTYPE_BITMAP);
        OLE_XSIZE_HIMETRIC nWidth = 0;
        pPicture->get_Width(&nWidth);
        EXPECT_GT(nWidth, 0);
        if (nLoaded == 0)  // the first frame is a plain red screen
        {
            EXPECT_EQ(CentrePixel(pPicture), RGB(255, 0, 0));
        }
        pPicture->Release();
        ++nLoaded;
    }
    scanner.EndGifScan();
    EXPECT_EQ(nLoaded, nCounted);
}

} // namespace
