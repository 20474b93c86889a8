// The picture control against the real picture loader under Wine. Pixels are
// read back from the canvas at each paint (PictureProbe).
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "GifBytes.h"
#include "PictureProbe.h"

namespace {

constexpr POINT kControlAt = {7, 5};

// N pixels of colour INDEX at minimum code size 2: a clear code before every
// two pixels keeps every code 3 bits wide, so no LZW table is needed.
std::vector<uint8_t> SolidLzw(size_t nPixels, uint8_t index)
{
    std::vector<uint8_t> out;
    uint32_t acc = 0, nBits = 0;
    auto emit = [&](uint32_t code) {
        for (acc |= code << nBits, nBits += 3; nBits >= 8; acc >>= 8, nBits -= 8) out.push_back(static_cast<uint8_t>(acc));
    };
    for (size_t i = 0; i < nPixels; ++i) {
        if (i % 2 == 0) emit(4);
        emit(index);
    }
    emit(5);
    if (nBits) out.push_back(static_cast<uint8_t>(acc));
    return out;
}

// What MakeGif builds one frame from.
struct FrameRecipe {
    uint16_t left, top, width, height;
    uint8_t index, disposal;
    uint16_t delayCs;
    bool refused = false;  // a code size no decoder takes
    bool control = true;   // has a graphic control extension
};

GifBytes MakeGif(uint16_t cx, uint16_t cy, const std::vector<FrameRecipe>& frames)
{
    GifBytes gif;
    gif.Header("89a", cx, cy, 0x81);
    for (const FrameRecipe& f : frames) {
        if (f.control) gif.Control(static_cast<uint8_t>(f.disposal << 2), f.delayCs);
        if (f.refused)
            gif.Raw({0x2C, 0, 0, 0, 0, static_cast<uint8_t>(f.width), 0, static_cast<uint8_t>(f.height), 0, 0, 0x0F})
                .SubBlocks(SolidLzw(f.width * f.height, f.index));
        else
            gif.Image(f.left, f.top, f.width, f.height, 0, SolidLzw(size_t{f.width} * f.height, f.index));
    }
    return gif.Trailer();
}

COLORREF PaletteColour(const GifBytes& gif, uint8_t index)
{
    const uint8_t* p = gif.Bytes().data() + 13 + 3 * index;
    return RGB(p[0], p[1], p[2]);
}

std::vector<uint8_t> SolidBmp(int cx, int cy, COLORREF colour)
{
    BITMAPFILEHEADER fh = {0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    BITMAPINFOHEADER ih = {sizeof ih, cx, cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> out(reinterpret_cast<uint8_t*>(&fh), reinterpret_cast<uint8_t*>(&fh + 1));
    out.insert(out.end(), reinterpret_cast<uint8_t*>(&ih), reinterpret_cast<uint8_t*>(&ih + 1));
    for (int i = 0; i < cx * cy; ++i) out.insert(out.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour), 0});
    return out;
}

// A movable block the test keeps, as the memory load expects.
struct Global {
    explicit Global(const std::vector<uint8_t>& bytes)
        : h(::GlobalAlloc(GMEM_MOVEABLE, bytes.size())), n(static_cast<DWORD>(bytes.size()))
    {
        std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(::GlobalLock(h)));
        ::GlobalUnlock(h);
    }
    ~Global() { ::GlobalFree(h); }
    HGLOBAL h;
    DWORD n;
};

// Wine answers 0 to GetGuiResources and GetProcessHandleCount, so kernel
// handles are also counted by asking every possible handle value, and the
// GDI objects of a load are checked one by one (LoadGdiObjects).
std::vector<DWORD> Resources()
{
    DWORD nKernel = 0, nAsked = 0, flags;
    ::GetProcessHandleCount(::GetCurrentProcess(), &nKernel);
    for (UINT_PTR h = 4; h < 0x10000; h += 4) nAsked += ::GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags);
    nKernel = nKernel ? nKernel : nAsked;
    return {::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), nKernel};
}

std::vector<HGDIOBJ> LoadGdiObjects(const PictureProbe& picture)
{
    std::vector<HGDIOBJ> out = {picture.CanvasDC(), ::GetCurrentObject(picture.CanvasDC(), OBJ_BITMAP)};
    for (size_t i = 0; i < picture.FrameCount(); ++i) {
        OLE_HANDLE h = 0;
        picture.Frame(i).pPicture->get_Handle(&h);
        out.push_back(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(h)));
    }
    return out;
}

// The temporary paths here are ASCII.
std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string TempFile(const char* name, const std::vector<uint8_t>& bytes)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

class AnimatedPicture : public ::testing::Test {
protected:
    // One host for the suite: Wine takes two seconds to destroy a visible
    // top-level window on a display without a window manager.
    static void SetUpTestSuite()
    {
        ::CoInitialize(nullptr);
        s_hHost = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 200, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() { ::DestroyWindow(s_hHost); }
    void SetUp() override { ASSERT_TRUE(m_picture.SubclassWindow(NewStatic(kControlAt.x, SS_BLACKFRAME))); }
    void TearDown() override { m_picture.DestroyWindow(); }

    static HWND NewStatic(int x, DWORD style)
    {
        return ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | style, x, kControlAt.y, 50, 30, s_hHost, nullptr, nullptr, nullptr);
    }

    // The first paint of each frame shown.
    static std::vector<PictureProbe::Paint> FrameChanges(const PictureProbe& picture)
    {
        std::vector<PictureProbe::Paint> out;
        for (const auto& p : picture.m_paints)
            if (out.empty() || out.back().nFrame != p.nFrame) out.push_back(p);
        return out;
    }

    bool LoadAndDraw(const Global& data, BOOL bWantDrawn)
    {
        m_picture.m_paints.clear();
        return m_picture.Load(data.h, data.n) && m_picture.Draw() == bWantDrawn
            && PictureProbe::PumpUntil([&] { return !m_picture.m_paints.empty(); }, 5000);
    }

    static inline HWND s_hHost = nullptr;
    PictureProbe m_picture;
};

TEST_F(AnimatedPicture, StillPicturesRenderOnceAtTheirSizeWithoutAWorker)
{
    const COLORREF kColour = RGB(0x30, 0x90, 0xE0);
    const GifBytes oneFrame = MakeGif(30, 16, {{2, 2, 10, 8, 1, 0, 0}});
    struct { Global data; SIZE size; COLORREF colour; } cases[] = {
        {Global(SolidBmp(40, 20, kColour)), {40, 20}, kColour},           // HIMETRIC extent at the screen's DPI
        {Global(oneFrame.Bytes()), {30, 16}, PaletteColour(oneFrame, 1)},  // logical screen, not the image
    };
    m_picture.m_watch = {{5, 5}};
    for (const auto& c : cases) {
        ASSERT_TRUE(LoadAndDraw(c.data, TRUE));
        EXPECT_EQ(m_picture.Worker(), nullptr);
        RECT rc;
        ::GetWindowRect(m_picture.m_hWnd, &rc);
        ::MapWindowPoints(nullptr, s_hHost, reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(std::vector<LONG>({rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top}),
                  std::vector<LONG>({kControlAt.x, kControlAt.y, c.size.cx, c.size.cy}));
        EXPECT_EQ(m_picture.m_paints.back().colours[0], c.colour);
    }
}

TEST_F(AnimatedPicture, FramePeriodsFollowTheDelays)
{
    // Delays 0, 4, 5, 50 and none at all, each frame a colour of its own.
    const uint16_t kDelays[] = {0, 4, 5, 50, 0};
    const double kWantMs[] = {100, 100, 50, 500, 100};
    constexpr int kFrames = 5, kCycles = 3;
    std::vector<FrameRecipe> frames;
    for (uint8_t i = 0; i < kFrames; ++i) frames.push_back({0, 0, 8, 8, static_cast<uint8_t>(i % 4), 1, kDelays[i]});
    frames.back().control = false;
    ASSERT_TRUE(LoadAndDraw(Global(MakeGif(8, 8, frames).Bytes()), FALSE));
    EXPECT_NE(m_picture.Worker(), nullptr);
    EXPECT_EQ(m_picture.Frame(kFrames - 1).nDelayCs, GifFrame::kNoDelay);

    ASSERT_TRUE(PictureProbe::PumpUntil([&] { return FrameChanges(m_picture).size() > kFrames * kCycles; }, 20000));
    const auto changes = FrameChanges(m_picture);
    for (int k = 0; k < kFrames; ++k) {
        double worst = 0, sum = 0;
        int n = 0;
        for (size_t i = 0; i + 1 < changes.size(); ++i) {
            if (changes[i].nFrame != k) continue;
            const double err = changes[i + 1].ms - changes[i].ms - kWantMs[k];
            worst = std::max(worst, std::fabs(err));
            sum += err;
            ++n;
        }
        ASSERT_GT(n, 0);
        std::printf("frame %d: want %.0f ms, mean error %+.1f ms, worst %.1f ms over %d\n", k, kWantMs[k], sum / n, worst, n);
        // Emulated 32-bit code paints late by tens of milliseconds at times;
        // the mean still tells 50 from 100 and 100 from 500.
        EXPECT_LT(std::fabs(sum / n), 20.0) << "frame " << k;
        EXPECT_LT(worst, 60.0) << "frame " << k;
    }
}

TEST_F(AnimatedPicture, DisposalClearsRestoresAndTheCycleStartsOnACleanCanvas)
{
    const GifBytes gif = MakeGif(20, 10, {
        {0, 0, 20, 5, 0, 1, 0},    // top half
        {0, 5, 10, 5, 1, 2, 0},    // bottom left, then cleared to the background
        {10, 5, 10, 5, 2, 3, 0},   // bottom right, then what lay under it put back
        {15, 5, 5, 5, 3, 0, 0},    // a corner of that, left until the cycle ends
    });
    m_picture.m_watch = {{2, 7}, {12, 7}, {17, 7}};
    const Global data(gif.Bytes());
    ASSERT_TRUE(m_picture.Load(data.h, data.n));
    const COLORREF firstFill = ::GetPixel(m_picture.CanvasDC(), 0, 0), face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(firstFill, ::GetSysColor(COLOR_MENU));
    EXPECT_EQ(m_picture.Background(), face);
    m_picture.Draw();
    ASSERT_TRUE(PictureProbe::PumpUntil([&] { return FrameChanges(m_picture).size() >= 10; }, 20000));

    int nCycle = 0, nPrevious = -1;
    for (const auto& p : FrameChanges(m_picture)) {
        nCycle += p.nFrame < nPrevious;
        nPrevious = p.nFrame;
        if (p.nFrame == 0 && nCycle > 0) {
            EXPECT_EQ(p.colours, std::vector<COLORREF>({face, face, face})) << "not cleared after the last frame";
        } else if (p.nFrame == 2) {
            EXPECT_EQ(p.colours[0], face) << "disposal 2, cycle " << nCycle;
        } else if (p.nFrame == 3) {
            EXPECT_EQ(p.colours[1], nCycle == 0 ? firstFill : face) << "disposal 3, cycle " << nCycle;
        }
    }
    EXPECT_GE(nCycle, 2);
}

// While a paint holds the canvas the worker draws nothing. A second control
// animating alongside shows that the first one's worker was due meanwhile.
TEST_F(AnimatedPicture, TheWorkerNeverDrawsUnderAPaint)
{
    const GifBytes gif = MakeGif(8, 8, {{0, 0, 8, 8, 0, 1, 0}, {0, 0, 8, 8, 1, 1, 0}, {0, 0, 8, 8, 2, 1, 0}});
    const Global data(gif.Bytes());
    PictureProbe clock;
    ASSERT_TRUE(clock.SubclassWindow(NewStatic(100, 0)));
    ASSERT_TRUE(clock.Load(data.h, data.n));
    m_picture.m_watch = {{4, 4}};
    ASSERT_TRUE(m_picture.Load(data.h, data.n));
    m_picture.Draw();
    ASSERT_TRUE(PictureProbe::PumpUntil([&] {  // the worker's own first frame, not the window's first paint
        return !m_picture.m_paints.empty() && m_picture.m_paints.back().colours[0] == PaletteColour(gif, 0);
    }, 5000));

    m_picture.LockCanvas();
    m_picture.m_paints.clear();
    const COLORREF held = ::GetPixel(m_picture.CanvasDC(), 4, 4);
    clock.Draw();
    const bool bClockRan = PictureProbe::PumpUntil([&] { return FrameChanges(clock).size() > 3; }, 10000);
    std::vector<COLORREF> during = {::GetPixel(m_picture.CanvasDC(), 4, 4)};
    for (const auto& paint : m_picture.m_paints) during.push_back(paint.colours[0]);
    m_picture.UnlockCanvas();
    ASSERT_TRUE(bClockRan);
    EXPECT_EQ(during, std::vector<COLORREF>(during.size(), held));
    clock.DestroyWindow();
}

TEST_F(AnimatedPicture, RefusedFramesAreLeftOut)
{
    const Global threeOneRefused(MakeGif(8, 8, {{0, 0, 8, 8, 0, 1, 0}, {0, 0, 8, 8, 1, 1, 0, true}, {0, 0, 8, 8, 2, 1, 0}}).Bytes());
    ASSERT_TRUE(m_picture.Load(threeOneRefused.h, threeOneRefused.n));
    EXPECT_EQ(m_picture.FrameCount(), 2u);

    // Only one loadable frame: a canvas at its first fill and nothing to run.
    const Global one(MakeGif(8, 6, {{0, 0, 8, 6, 0, 1, 0}, {0, 0, 8, 6, 1, 1, 0, true}}).Bytes());
    ASSERT_TRUE(m_picture.Load(one.h, one.n));
    EXPECT_FALSE(m_picture.Draw());
    EXPECT_EQ(m_picture.Worker(), nullptr);
    EXPECT_EQ(::GetPixel(m_picture.CanvasDC(), 4, 3), ::GetSysColor(COLOR_MENU));

    // A plain text frame carries its text grid (the scanner's tests check it);
    // Wine's loader refuses it, and the frame after it keeps its own rectangle.
    GifBytes withText;
    withText.Header("89a", 8, 8, 0x81).Control(0, 7).Image(0, 0, 8, 8, 0, SolidLzw(64, 0)).Control(0, 9)
        .PlainText(2, 1, 4, 3, "ab").Control(0, 11).Image(1, 1, 2, 2, 0, SolidLzw(4, 1)).Trailer();
    const Global text(withText.Bytes());
    ASSERT_TRUE(m_picture.Load(text.h, text.n));
    const GifFrame& last = m_picture.Frame(m_picture.FrameCount() - 1);
    EXPECT_EQ(std::vector<int>({last.nLeft, last.nTop, last.nWidth, last.nHeight, int(last.nDelayCs)}),
              std::vector<int>({1, 1, 2, 2, 11}));
}

TEST_F(AnimatedPicture, StoppingEndsTheWorkerAtOnceAndClosesItsHandleOnce)
{
    const Global slow(MakeGif(8, 8, {{0, 0, 8, 8, 0, 1, 500}, {0, 0, 8, 8, 1, 1, 500}}).Bytes());
    const std::vector<DWORD> before = Resources();
    m_picture.Stop();  // no worker: flag and event end as they began
    EXPECT_FALSE(m_picture.StopRequested());
    EXPECT_EQ(::WaitForSingleObject(m_picture.WakeEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // A new load during a 5 s frame wait, then the window's destruction.
    ASSERT_TRUE(LoadAndDraw(slow, FALSE));
    double t0 = PictureProbe::NowMs();
    ASSERT_TRUE(m_picture.Load(slow.h, slow.n));
    const double reloadMs = PictureProbe::NowMs() - t0;
    m_picture.m_paints.clear();
    m_picture.Draw();
    ASSERT_TRUE(PictureProbe::PumpUntil([&] { return !m_picture.m_paints.empty(); }, 5000));
    t0 = PictureProbe::NowMs();
    m_picture.DestroyWindow();
    const double destroyMs = PictureProbe::NowMs() - t0;
    std::printf("worker ended within %.1f ms of a reload, %.1f ms of the window's destruction\n", reloadMs, destroyMs);
    // Within 100 ms on a real machine; emulation can slow a thread's wake-up,
    // but nowhere near the 5 s the wait had left.
    EXPECT_LT(destroyMs, 250.0);
    EXPECT_LT(reloadMs, 250.0);
    EXPECT_EQ(m_picture.Worker(), nullptr);
    m_picture.FreePicture();
    EXPECT_EQ(Resources(), before) << "thread handles closed once, the event kept";
}

TEST(AnimatedPictureWithoutWindow, LoadIsRefused)
{
    const std::string path = TempFile("nowindow.gif", MakeGif(8, 8, {{0, 0, 8, 8, 0, 1, 0}, {0, 0, 8, 8, 1, 1, 0}}).Bytes());
    const Global data(std::vector<uint8_t>(SolidBmp(4, 4, RGB(1, 2, 3))));
    PictureProbe picture;
    EXPECT_FALSE(picture.Load(Wide(path).c_str()));
    EXPECT_FALSE(picture.Load(data.h, data.n));
    EXPECT_FALSE(picture.CanvasReady());
    EXPECT_FALSE(picture.Draw());
    EXPECT_EQ(picture.Worker(), nullptr);
    ::DeleteFileA(path.c_str());
}

TEST_F(AnimatedPicture, LoadDrawStopFreeCyclesLeakNothing)
{
    const std::string path = TempFile("cycle.gif", MakeGif(8, 8, {{0, 0, 8, 8, 0, 3, 0}, {0, 0, 4, 4, 1, 2, 0}}).Bytes());
    ASSERT_TRUE(m_picture.Load(Wide(path).c_str()));  // warm-up: the loader and the thread machinery allocate once
    m_picture.Draw();
    m_picture.FreePicture();
    const std::vector<DWORD> before = Resources();
    // About 4 ms a cycle where Wine runs 32-bit code natively, several times
    // that where it is emulated; 500 cycles stay well under a minute there.
    constexpr int kCycles = 500;
    int nAlive = 0;
    for (int i = 0; i < kCycles; ++i) {
        ASSERT_TRUE(m_picture.Load(Wide(path).c_str()));
        const std::vector<HGDIOBJ> made = LoadGdiObjects(m_picture);
        EXPECT_FALSE(m_picture.Draw());
        m_picture.Stop();
        m_picture.FreePicture();
        for (HGDIOBJ h : made) nAlive += ::GetObjectType(h) != 0;
    }
    const std::vector<DWORD> after = Resources();
    std::printf("after %d cycles: GDI %lu -> %lu, USER %lu -> %lu, kernel %lu -> %lu\n", kCycles, before[0], after[0],
                before[1], after[1], before[2], after[2]);
    EXPECT_EQ(after, before);
    EXPECT_EQ(nAlive, 0) << "GDI objects of a load outlived its release";
    ::DeleteFileA(path.c_str());
}

TEST_F(AnimatedPicture, BadFilesAnswerFalseDrawNothingAndLeakNothing)
{
    const GifBytes good = MakeGif(8, 8, {{0, 0, 8, 8, 0, 1, 0}, {0, 0, 8, 8, 1, 1, 0}});
    const std::vector<std::string> paths = {
        TempFile("empty.gif", {}),
        TempFile("truncated.gif", std::vector<uint8_t>(good.Bytes().begin(), good.Bytes().begin() + 40)),
        TempFile("refused.gif", MakeGif(8, 8, {{0, 0, 8, 8, 0, 1, 0, true}, {0, 0, 8, 8, 1, 1, 0, true}}).Bytes()),
        TempFile("junk.gif", std::vector<uint8_t>(300, 0x5A)),
        "C:\\no such directory\\Logo.gif",
    };
    ASSERT_FALSE(m_picture.Load(Wide(paths[0]).c_str()));
    const std::vector<DWORD> before = Resources();
    for (const std::string& path : paths) {
        EXPECT_FALSE(m_picture.Load(Wide(path).c_str())) << path;
        EXPECT_FALSE(m_picture.CanvasReady());
        EXPECT_FALSE(m_picture.Draw());
        ::DeleteFileA(path.c_str());
    }
    EXPECT_EQ(Resources(), before);
}

}  // namespace
