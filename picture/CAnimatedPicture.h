#pragma once
#include "AfxWin.h"

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "GifFrame.h"
#include "GifScanner.h"

// A static control that shows one picture file. A still picture (not a GIF, or
// a GIF of one frame) is rendered once; a GIF of several frames is split into
// single-frame GIFs, each decoded once, and a worker thread shows them in turn
// with each frame's delay and disposal method. All drawing goes to an
// off-screen canvas; painting is one BitBlt of it.
class CAnimatedPicture : public CStatic, protected GifScanner {
public:
    CAnimatedPicture();
    ~CAnimatedPicture() override;

    // Both loads refuse a control without a window: the canvas is made for it.
    BOOL Load(const WCHAR* lpszPath);
    // The block stays the caller's.
    BOOL Load(HGLOBAL hData, DWORD nSize);
    // Nonzero only when a still picture was rendered; FALSE after starting the worker,
    // and FALSE without the wake event the worker's waits need.
    BOOL Draw();
    void Stop();
    void FreePicture();
    BOOL HasAnimation() const;

    // How long a frame stays up. A GIF's delay is in hundredths of a second;
    // delays under 5 (0 included) mean "as fast as possible", which viewers
    // slow to 100 ms, and so does a frame that carries no delay at all.
    static DWORD FrameWaitMs(uint32_t nDelayCs);

    static unsigned __stdcall AnimationThreadProc(void* pControl);

protected:
    void RunAnimation();

    void OnPaint();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

    SIZE m_sizePicture;
    COLORREF m_crBackground;
    int m_nFrame;
    BOOL m_bGif;
    std::atomic<bool> m_bStopRequested;
    BOOL m_bCanvasReady;
    HDC m_hCanvasDC;
    HDC m_hSaveDC;
    HBITMAP m_hSaveBitmap;
    HGDIOBJ m_hSaveOldBitmap;
    HBITMAP m_hCanvasBitmap;
    HGDIOBJ m_hCanvasOldBitmap;
    std::atomic<HANDLE> m_hAnimThread;
    HANDLE m_hWakeEvent;
    HANDLE m_hShownEvent;
    IPicture* m_pStillPicture;
    std::vector<GifFrame> m_frames;
    // Orders the worker's drawing against OnPaint's copy: a frame's disposal,
    // the wrap-around clear and the next frame's rendering happen as one step,
    // so the screen only ever gets whole frames.
    CRITICAL_SECTION m_csCanvas;

private:
    // Sizes the control and makes the canvas; only a load, after its release, calls it.
    BOOL CreateCanvas(int cx, int cy);
    BOOL LoadStillPicture(HGLOBAL hData, DWORD nSize);
    BOOL IsStopRequested() const;
    // FALSE when a stop came first.
    BOOL WaitUntilShown();
    void DisposeFrame(const GifFrame& frame);
    void SaveUnderFrame(const GifFrame& frame);
    void ReleaseSaveArea();
    void FillCanvas(const RECT& rc);
    static BOOL RenderPicture(IPicture* pPicture, HDC hDC, int x, int y, int cx, int cy);
};
