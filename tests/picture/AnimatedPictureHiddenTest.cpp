// The logo's worker while nobody can see it: no rendering while the window
// is hidden or minimised, and the next frame in turn once it shows again.
// Renderings are counted by wrapping each frame's picture.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "CSingleLock.h"
#include "GifBytes.h"
#include "PictureProbe.h"

namespace {

constexpr int kFrames = 3;
constexpr uint16_t kDelayCs = 5;
constexpr DWORD kHiddenMs = 30000;
constexpr DWORD kMinimisedMs = 3000;

struct Rendering {
    int nFrame;
    double ms;
};

// Passes every call on to the loaded picture and notes each Render.
class CountingPicture final : public IPicture {
public:
    CountingPicture(IPicture* pInner, int nFrame, std::vector<Rendering>* pLog, CRITICAL_SECTION* pcs)
        : m_pInner(pInner), m_nFrame(nFrame), m_pLog(pLog), m_pcs(pcs) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = (riid == IID_IUnknown || riid == IID_IPicture) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0) {
            m_pInner->Release();
            delete this;
        }
        return n;
    }
    HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE* p) override { return m_pInner->get_Handle(p); }
    HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE* p) override { return m_pInner->get_hPal(p); }
    HRESULT STDMETHODCALLTYPE get_Type(SHORT* p) override { return m_pInner->get_Type(p); }
    HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* p) override { return m_pInner->get_Width(p); }
    HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* p) override { return m_pInner->get_Height(p); }
    HRESULT STDMETHODCALLTYPE Render(HDC hDC, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc,
                                     OLE_YPOS_HIMETRIC ySrc, OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc,
                                     LPCRECT pBounds) override
    {
        {
            CSingleLock lock(m_pcs);
            m_pLog->push_back({m_nFrame, PictureProbe::NowMs()});
        }
        return m_pInner->Render(hDC, x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc, pBounds);
    }
    HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE h) override { return m_pInner->set_hPal(h); }
    HRESULT STDMETHODCALLTYPE get_CurDC(HDC* p) override { return m_pInner->get_CurDC(p); }
    HRESULT STDMETHODCALLTYPE SelectPicture(HDC hIn, HDC* phOut, OLE_HANDLE* phBmp) override
    { return m_pInner->SelectPicture(hIn, phOut, phBmp); }
    HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(WINBOOL* p) override { return m_pInner->get_KeepOriginalFormat(p); }
    HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(WINBOOL b) override { return m_pInner->put_KeepOriginalFormat(b); }
    HRESULT STDMETHODCALLTYPE PictureChanged() override { return m_pInner->PictureChanged(); }
    HRESULT STDMETHODCALLTYPE SaveAsFile(LPSTREAM s, WINBOOL bMem, LONG* pcb) override
    { return m_pInner->SaveAsFile(s, bMem, pcb); }
    HRESULT STDMETHODCALLTYPE get_Attributes(DWORD* p) override { return m_pInner->get_Attributes(p); }

private:
    IPicture* m_pInner;
    int m_nFrame;
    std::vector<Rendering>* m_pLog;
    CRITICAL_SECTION* m_pcs;
    LONG m_nRefs = 1;
};

// One pixel of palette entry INDEX: clear, the index, end, each 3 bits.
std::vector<uint8_t> OnePixel(uint8_t index)
{
    const uint32_t codes = 4u | (uint32_t{index} << 3) | (5u << 6);
    return {static_cast<uint8_t>(codes), static_cast<uint8_t>(codes >> 8)};
}

class HiddenLogo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        ::InitializeCriticalSection(&m_cs);
        m_hHost = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 240, 300, 150, nullptr,
                                    nullptr, nullptr, nullptr);
        HWND hStatic = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 5, 5, 40, 20, m_hHost,
                                         nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_picture.SubclassWindow(hStatic));

        GifBytes gif;
        gif.Header("89a", 4, 4, 0x81);
        for (uint8_t i = 0; i < kFrames; ++i) gif.Control(0, kDelayCs).Image(i, 0, 1, 1, 0, OnePixel(i));
        gif.Trailer();
        const std::vector<uint8_t>& bytes = gif.Bytes();
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(::GlobalLock(h)));
        ::GlobalUnlock(h);
        ASSERT_TRUE(m_picture.Load(h, static_cast<DWORD>(bytes.size())));
        ::GlobalFree(h);
        ASSERT_EQ(m_picture.FrameCount(), size_t{kFrames});
        for (int i = 0; i < kFrames; ++i)
            m_picture.FramePicture(i) = new CountingPicture(m_picture.FramePicture(i), i, &m_log, &m_cs);
        m_picture.Draw();
    }
    void TearDown() override
    {
        m_picture.DestroyWindow();
        ::DestroyWindow(m_hHost);
        ::DeleteCriticalSection(&m_cs);
    }

    std::vector<Rendering> Log()
    {
        CSingleLock lock(&m_cs);
        return m_log;
    }
    size_t Count() { return Log().size(); }

    // Takes the host out of sight for PERIOD_MS (the measured period itself),
    // then shows it again and waits for the animation to go on.
    void OutOfSight(int nHide, int nShow, DWORD nPeriodMs)
    {
        ASSERT_TRUE(PictureProbe::PumpUntil([&] { return Count() >= 4; }, 20000)) << "it never animated";
        const double hidden = PictureProbe::NowMs();
        const size_t nAtHide = Count();
        ::ShowWindow(m_hHost, nHide);
        PictureProbe::PumpUntil([] { return false; }, nPeriodMs);
        const size_t nBeforeShow = Count();
        ::ShowWindow(m_hHost, nShow);
        ASSERT_TRUE(PictureProbe::PumpUntil([&] { return Count() >= nBeforeShow + 3; }, 20000)) << "it never went on";

        const std::vector<Rendering> log = Log();
        // A rendering already past its look at the window when it went may end.
        EXPECT_LE(nBeforeShow - nAtHide, 1u) << "rendered while out of sight (" << nPeriodMs << " ms)";
        for (size_t i = 1; i < log.size(); ++i)
            ASSERT_EQ(log[i].nFrame, (log[i - 1].nFrame + 1) % kFrames) << "a frame was skipped at rendering " << i;
        // The frame left up when it went gets a whole delay once it is back.
        EXPECT_GE(log[nBeforeShow].ms - hidden, nPeriodMs);
    }

    HWND m_hHost = nullptr;
    PictureProbe m_picture;
    CRITICAL_SECTION m_cs;
    std::vector<Rendering> m_log;
};

TEST_F(HiddenLogo, NothingIsRenderedWhileHiddenAndTheNextFrameFollowsOnShowing)
{
    OutOfSight(SW_HIDE, SW_SHOWNA, kHiddenMs);
}

TEST_F(HiddenLogo, NothingIsRenderedWhileMinimised)
{
    OutOfSight(SW_MINIMIZE, SW_RESTORE, kMinimisedMs);
}

} // namespace
