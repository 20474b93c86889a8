#include "CAnimatedPicture.h"

#include "CSingleLock.h"

#include <process.h>

namespace {

constexpr DWORD kMinWaitCs = 5;
constexpr DWORD kFastFrameMs = 100;
constexpr DWORD kMsPerCs = 10;
constexpr int kHimetricPerInch = 2540;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr int kRestorePrevious = 3;
constexpr int kRestoreBackground = 2;

RECT FrameRect(const GifFrame& frame)
{
    return RECT{frame.nLeft, frame.nTop, frame.nLeft + frame.nWidth, frame.nTop + frame.nHeight};
}

// The picture in a block, read through a stream over it. With bTakeBlock the
// stream frees the block on release, and the block is freed here if no stream
// could be made.
IPicture* DecodePicture(HGLOBAL hData, DWORD nSize, BOOL bTakeBlock)
{
    IStream* pStream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(hData, bTakeBlock, &pStream)) || !pStream) {
        if (bTakeBlock) ::GlobalFree(hData);
        return nullptr;
    }
    IPicture* pPicture = nullptr;
    const HRESULT hr = ::OleLoadPicture(pStream, static_cast<LONG>(nSize), FALSE, IID_IPicture,
                                        reinterpret_cast<void**>(&pPicture));
    pStream->Release();
    return SUCCEEDED(hr) ? pPicture : nullptr;
}

} // namespace

BEGIN_MESSAGE_MAP(CAnimatedPicture, CStatic)
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CAnimatedPicture::CAnimatedPicture()
    : m_sizePicture(), m_crBackground(kWhite), m_nFrame(0), m_bGif(FALSE), m_bStopRequested(false),
      m_bCanvasReady(FALSE), m_hCanvasDC(nullptr), m_hSaveDC(nullptr), m_hSaveBitmap(nullptr),
      m_hSaveOldBitmap(nullptr), m_hCanvasBitmap(nullptr), m_hCanvasOldBitmap(nullptr),
      m_hAnimThread(nullptr), m_hWakeEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_hShownEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_pStillPicture(nullptr)
{
    ::InitializeCriticalSection(&m_csCanvas);
}

CAnimatedPicture::~CAnimatedPicture()
{
    FreePicture();
    if (m_hWakeEvent) ::CloseHandle(m_hWakeEvent);
    if (m_hShownEvent) ::CloseHandle(m_hShownEvent);
    std::vector<GifFrame>().swap(m_frames);
    ::DeleteCriticalSection(&m_csCanvas);
}

DWORD CAnimatedPicture::FrameWaitMs(uint32_t nDelayCs)
{
    if (nDelayCs == GifFrame::kNoDelay || nDelayCs < kMinWaitCs) return kFastFrameMs;
    // A real delay is 16 bits, so this cannot wrap.
    return nDelayCs * kMsPerCs;
}

BOOL CAnimatedPicture::Load(const WCHAR* lpszPath)
{
    CFile file;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    ULONGLONG nLength64 = 0;
    try {
        nLength64 = file.GetLength();
    } catch (CFileException* e) {
        e->Delete();
        return FALSE;
    }
    // A picture file beyond 4 GB cannot be described by the memory load's size.
    if (nLength64 > 0xFFFFFFFFull) return FALSE;
    const DWORD nLength = static_cast<DWORD>(nLength64);
    HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, nLength);
    if (!hData) return FALSE;
    void* pData = ::GlobalLock(hData);
    if (!pData) {
        ::GlobalFree(hData);
        return FALSE;
    }
    DWORD nRead = 0;
    try {
        nRead = file.Read(pData, nLength);
    } catch (CFileException* e) {
        ::GlobalUnlock(hData);
        ::GlobalFree(hData);
        e->Delete();
        file.Close();
        return FALSE;
    }
    ::GlobalUnlock(hData);
    file.Close();
    // A file cut short since its length was taken leaves the rest of the
    // block unwritten; only what was read is handed on.
    const BOOL bLoaded = Load(hData, nRead);
    ::GlobalFree(hData);
    return bLoaded;
}

BOOL CAnimatedPicture::LoadStillPicture(HGLOBAL hData, DWORD nSize)
{
    m_pStillPicture = DecodePicture(hData, nSize, FALSE);
    return m_pStillPicture != nullptr;
}

BOOL CAnimatedPicture::Load(HGLOBAL hData, DWORD nSize)
{
    FreePicture();
    // Without a window the window DC would be the screen's, and the worker's
    // invalidation of no window repaints the whole desktop.
    if (!m_hWnd) return FALSE;
    const uint8_t* pData = static_cast<const uint8_t*>(::GlobalLock(hData));
    if (!pData) return FALSE;
    // The scan must not read past the block, whatever size the caller claims.
    const SIZE_T nBlock = ::GlobalSize(hData);
    if (nSize > nBlock) nSize = static_cast<DWORD>(nBlock);

    if (!IsGifHeader(pData, nSize)) {
        ::GlobalUnlock(hData);
        if (!LoadStillPicture(hData, nSize)) return FALSE;
        OLE_XSIZE_HIMETRIC nWidth = 0;
        OLE_YSIZE_HIMETRIC nHeight = 0;
        m_pStillPicture->get_Width(&nWidth);
        m_pStillPicture->get_Height(&nHeight);
        {
            CClientDC dc(this);
            if (!dc.GetSafeHdc()) return FALSE;
            m_sizePicture.cx = ::MulDiv(nWidth, dc.GetDeviceCaps(LOGPIXELSX), kHimetricPerInch);
            m_sizePicture.cy = ::MulDiv(nHeight, dc.GetDeviceCaps(LOGPIXELSY), kHimetricPerInch);
        }
        return CreateCanvas(m_sizePicture.cx, m_sizePicture.cy);
    }

    m_bGif = TRUE;
    const ScreenSize screen = BeginGifScan(pData, nSize);
    m_sizePicture.cx = screen.cx;
    m_sizePicture.cy = screen.cy;
    const int nFrames = CountFrames();
    if (nFrames == 0) {
        EndGifScan();
        ::GlobalUnlock(hData);
        return FALSE;
    }
    if (nFrames == 1) {
        EndGifScan();
        ::GlobalUnlock(hData);
        if (!LoadStillPicture(hData, nSize)) return FALSE;
        return CreateCanvas(m_sizePicture.cx, m_sizePicture.cy);
    }

    RewindScan();
    GifFrame frame = {};
    uint32_t nBytes = 0;
    while (HGLOBAL hFrame = static_cast<HGLOBAL>(ExtractNextFrame(&nBytes, &frame))) {
        frame.pPicture = DecodePicture(hFrame, nBytes, TRUE);
        if (frame.pPicture) m_frames.push_back(frame);
    }
    EndGifScan();
    ::GlobalUnlock(hData);
    if (m_frames.empty()) return FALSE;
    return CreateCanvas(m_sizePicture.cx, m_sizePicture.cy);
}

BOOL CAnimatedPicture::CreateCanvas(int cx, int cy)
{
    SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
    CClientDC dc(this);
    if (!dc.GetSafeHdc()) return FALSE;
    m_hCanvasDC = ::CreateCompatibleDC(dc.GetSafeHdc());
    if (!m_hCanvasDC) return FALSE;
    m_hCanvasBitmap = ::CreateCompatibleBitmap(dc.GetSafeHdc(), cx, cy);
    if (!m_hCanvasBitmap) {
        ::DeleteDC(m_hCanvasDC);
        m_hCanvasDC = nullptr;
        return FALSE;
    }
    m_hCanvasOldBitmap = ::SelectObject(m_hCanvasDC, m_hCanvasBitmap);
    m_crBackground = ::GetSysColor(COLOR_BTNFACE);
    // The first fill is the menu colour (system brush COLOR_MENU + 1), not the
    // button face that clears frames later.
    RECT rc = {0, 0, cx, cy};
    ::FillRect(m_hCanvasDC, &rc, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1)));
    m_bCanvasReady = TRUE;
    return TRUE;
}

BOOL CAnimatedPicture::RenderPicture(IPicture* pPicture, HDC hDC, int x, int y, int cx, int cy)
{
    OLE_XSIZE_HIMETRIC nWidth = 0;
    OLE_YSIZE_HIMETRIC nHeight = 0;
    pPicture->get_Width(&nWidth);
    pPicture->get_Height(&nHeight);
    // A source rectangle given from the bottom with a negative height draws
    // the picture the right way up.
    return pPicture->Render(hDC, x, y, cx, cy, 0, nHeight, nWidth, -nHeight, nullptr) == S_OK;
}

BOOL CAnimatedPicture::Draw()
{
    // Without its events every wait of the worker would return at once: a worker at full CPU.
    if (!m_bCanvasReady || !m_hWakeEvent || !m_hShownEvent) return FALSE;
    if (HasAnimation()) {
        // At most one worker: a second Draw while it runs starts nothing.
        if (m_hAnimThread) return FALSE;
        unsigned nThreadId = 0;
        HANDLE hThread = reinterpret_cast<HANDLE>(
            ::_beginthreadex(nullptr, 0, &CAnimatedPicture::AnimationThreadProc, this, CREATE_SUSPENDED, &nThreadId));
        // Stored while the thread is suspended, so the worker finds it at its end.
        m_hAnimThread = hThread;
        if (hThread) ::ResumeThread(hThread);
        return FALSE;
    }
    if (!m_pStillPicture) return FALSE;
    BOOL bRendered;
    {
        CSingleLock lock(&m_csCanvas);
        bRendered = RenderPicture(m_pStillPicture, m_hCanvasDC, 0, 0, m_sizePicture.cx, m_sizePicture.cy);
    }
    if (!bRendered) return FALSE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return TRUE;
}

unsigned __stdcall CAnimatedPicture::AnimationThreadProc(void* pControl)
{
    CAnimatedPicture* pThis = static_cast<CAnimatedPicture*>(pControl);
    pThis->RunAnimation();
    // Whoever takes the handle out of the member closes it: Stop, if it came
    // first (it then waits on its own copy), else the worker here. This is
    // the worker's last touch of the object.
    HANDLE hThread = pThis->m_hAnimThread.exchange(nullptr);
    if (hThread) ::CloseHandle(hThread);
    return 0;
}

BOOL CAnimatedPicture::IsStopRequested() const
{
    return m_bStopRequested.load();
}

void CAnimatedPicture::FillCanvas(const RECT& rc)
{
    HBRUSH hBrush = ::CreateSolidBrush(m_crBackground);
    if (!hBrush) return;
    ::FillRect(m_hCanvasDC, &rc, hBrush);
    ::DeleteObject(hBrush);
}

void CAnimatedPicture::ReleaseSaveArea()
{
    if (m_hSaveDC) {
        if (m_hSaveOldBitmap) ::SelectObject(m_hSaveDC, m_hSaveOldBitmap);
        ::DeleteDC(m_hSaveDC);
    }
    if (m_hSaveBitmap) ::DeleteObject(m_hSaveBitmap);
    m_hSaveDC = nullptr;
    m_hSaveBitmap = nullptr;
    m_hSaveOldBitmap = nullptr;
}

void CAnimatedPicture::SaveUnderFrame(const GifFrame& frame)
{
    // A save area left by a stop between rendering and disposal was put back
    // by the disposal step that began this run; anything else is stale.
    ReleaseSaveArea();
    m_hSaveDC = ::CreateCompatibleDC(m_hCanvasDC);
    m_hSaveBitmap = ::CreateCompatibleBitmap(m_hCanvasDC, frame.nWidth, frame.nHeight);
    if (!m_hSaveDC || !m_hSaveBitmap) {
        ReleaseSaveArea();
        return;
    }
    m_hSaveOldBitmap = ::SelectObject(m_hSaveDC, m_hSaveBitmap);
    ::BitBlt(m_hSaveDC, 0, 0, frame.nWidth, frame.nHeight, m_hCanvasDC, frame.nLeft, frame.nTop, SRCCOPY);
}

void CAnimatedPicture::DisposeFrame(const GifFrame& frame)
{
    if (frame.nDisposalMethod == kRestoreBackground) {
        FillCanvas(FrameRect(frame));
    } else if (frame.nDisposalMethod == kRestorePrevious && m_hSaveDC) {
        ::BitBlt(m_hCanvasDC, frame.nLeft, frame.nTop, frame.nWidth, frame.nHeight, m_hSaveDC, 0, 0, SRCCOPY);
        ReleaseSaveArea();
    }
}

void CAnimatedPicture::RunAnimation()
{
    const int nFrames = static_cast<int>(m_frames.size());
    if (nFrames < 2) return;
    if (m_nFrame < 0 || m_nFrame >= nFrames) m_nFrame = 0;

    // The lock is held from a frame's disposal through the next frame's
    // rendering and released for the wait.
    ::EnterCriticalSection(&m_csCanvas);
    DisposeFrame(m_frames[m_nFrame]);
    while (!IsStopRequested()) {
        const GifFrame& frame = m_frames[m_nFrame];
        if (frame.nDisposalMethod == kRestorePrevious) SaveUnderFrame(frame);
        const BOOL bRendered = RenderPicture(frame.pPicture, m_hCanvasDC, frame.nLeft, frame.nTop,
                                             frame.nWidth, frame.nHeight);
        ::LeaveCriticalSection(&m_csCanvas);
        if (bRendered) ::InvalidateRect(m_hWnd, nullptr, FALSE);
        if (IsStopRequested()) return;
        ::WaitForSingleObject(m_hWakeEvent, FrameWaitMs(frame.nDelayCs));
        if (IsStopRequested()) return;
        // Nobody sees a hidden or minimised window: the worker sleeps until a
        // paint says the control is on screen again, and the frame it left up
        // then gets its whole delay before the animation goes on.
        if (!WaitUntilShown()) return;

        ::EnterCriticalSection(&m_csCanvas);
        DisposeFrame(frame);
        if (++m_nFrame == nFrames) {
            m_nFrame = 0;
            FillCanvas(RECT{0, 0, m_sizePicture.cx, m_sizePicture.cy});
        }
    }
    ::LeaveCriticalSection(&m_csCanvas);
}

BOOL CAnimatedPicture::WaitUntilShown()
{
    for (;;) {
        // Cleared before the look, so a paint between the two still wakes the wait.
        ::ResetEvent(m_hShownEvent);
        if (::IsWindowVisible(m_hWnd) && !::IsIconic(::GetAncestor(m_hWnd, GA_ROOT))) return TRUE;
        const HANDLE events[] = {m_hWakeEvent, m_hShownEvent};
        ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (IsStopRequested()) return FALSE;
        ::WaitForSingleObject(m_hWakeEvent, FrameWaitMs(m_frames[m_nFrame].nDelayCs));
        if (IsStopRequested()) return FALSE;
    }
}

void CAnimatedPicture::Stop()
{
    m_bStopRequested = true;
    ::SetEvent(m_hWakeEvent);
    // Taking the handle out first makes it ours alone: the worker's end finds
    // NULL and leaves it to us, so it is closed once and never waited on
    // after being closed.
    HANDLE hThread = m_hAnimThread.exchange(nullptr);
    if (hThread) {
        // No time limit: a worker still running is inside a rendering or a GDI
        // call on the canvas and the frames, and releasing them (or the control
        // itself) under it would crash it. It looks at the stop flag again right
        // after that call, so the wait is as long as one frame's drawing.
        ::WaitForSingleObject(hThread, INFINITE);
        ::CloseHandle(hThread);
    }
    ::ResetEvent(m_hWakeEvent);
    m_bStopRequested = false;
}

void CAnimatedPicture::FreePicture()
{
    Stop();
    if (m_pStillPicture) {
        m_pStillPicture->Release();
        m_pStillPicture = nullptr;
    }
    for (GifFrame& frame : m_frames)
        if (frame.pPicture) frame.pPicture->Release();
    m_frames.clear();
    if (m_hCanvasDC) {
        ::SelectObject(m_hCanvasDC, m_hCanvasOldBitmap);
        ::DeleteDC(m_hCanvasDC);
        ::DeleteObject(m_hCanvasBitmap);
        m_hCanvasDC = nullptr;
        m_hCanvasBitmap = nullptr;
        m_hCanvasOldBitmap = nullptr;
    }
    ReleaseSaveArea();
    EndGifScan();
    m_hAnimThread = nullptr;
    m_bCanvasReady = FALSE;
    m_bStopRequested = false;
    m_bGif = FALSE;
    m_nColorTableBytes = 0;
    m_nScanPos = 0;
    m_nFrame = 0;
    m_nScanSize = 0;
    m_crBackground = kWhite;
}

BOOL CAnimatedPicture::HasAnimation() const
{
    return m_bGif && m_frames.size() >= 2;
}

void CAnimatedPicture::OnPaint()
{
    // Showing or restoring the window paints the control; that ends a hidden pause.
    ::SetEvent(m_hShownEvent);
    CPaintDC dc(this);
    CSingleLock lock(&m_csCanvas);
    dc.BitBlt(0, 0, m_sizePicture.cx, m_sizePicture.cy, m_hCanvasDC, 0, 0, SRCCOPY);
}

void CAnimatedPicture::OnDestroy()
{
    Stop();
    CStatic::OnDestroy();
}
