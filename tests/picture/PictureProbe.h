#ifndef VELODUSK_TESTS_PICTURE_PICTUREPROBE_H
#define VELODUSK_TESTS_PICTURE_PICTUREPROBE_H

#include <windows.h>

#include <functional>
#include <vector>

#include "CAnimatedPicture.h"

// The picture control as its tests see it: its state read-only, and every
// paint noted with the time (performance counter), the frame the canvas
// holds and the colours at the points a test asks about, read from the
// canvas under the control's own lock, as the paint copies it.
class PictureProbe : public CAnimatedPicture {
public:
    struct Paint {
        double ms;
        int nFrame;
        std::vector<COLORREF> colours;
    };

    std::vector<POINT> m_watch;
    std::vector<Paint> m_paints;

    HDC CanvasDC() const { return m_hCanvasDC; }
    HANDLE Worker() const { return m_hAnimThread; }
    HANDLE WakeEvent() const { return m_hWakeEvent; }
    BOOL CanvasReady() const { return m_bCanvasReady; }
    BOOL StopRequested() const { return m_bStopRequested; }
    size_t FrameCount() const { return m_frames.size(); }
    COLORREF Background() const { return m_crBackground; }
    const GifFrame& Frame(size_t i) const { return m_frames[i]; }
    // For a test that wraps a frame's picture before the worker starts.
    IPicture*& FramePicture(size_t i) { return m_frames[i].pPicture; }

    // What a paint holds while it copies the canvas.
    void LockCanvas() { ::EnterCriticalSection(&m_csCanvas); }
    void UnlockCanvas() { ::LeaveCriticalSection(&m_csCanvas); }

    // Runs the message loop until PRED holds or TIMEOUT_MS pass.
    static bool PumpUntil(const std::function<bool()>& pred, DWORD nTimeoutMs)
    {
        const double end = NowMs() + nTimeoutMs;
        for (MSG msg; !pred();) {
            const double left = end - NowMs();
            if (left <= 0) return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        }
        return true;
    }

    static double NowMs()
    {
        LARGE_INTEGER f, t;
        ::QueryPerformanceFrequency(&f);
        ::QueryPerformanceCounter(&t);
        return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
    }

protected:
    void NotePaint()
    {
        Paint p{NowMs(), 0, {}};
        ::EnterCriticalSection(&m_csCanvas);
        p.nFrame = m_nFrame;
        for (const POINT& pt : m_watch) p.colours.push_back(::GetPixel(m_hCanvasDC, pt.x, pt.y));
        ::LeaveCriticalSection(&m_csCanvas);
        m_paints.push_back(p);
        CAnimatedPicture::OnPaint();
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message != WM_PAINT) return CAnimatedPicture::OnWndMsg(message, wParam, lParam, pResult);
        NotePaint();
        *pResult = 0;
        return TRUE;
    }
};

#endif
