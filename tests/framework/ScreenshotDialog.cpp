#include "ScreenshotDialog.h"

#include <cstdio>

BEGIN_MESSAGE_MAP(ScreenshotDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL ScreenshotDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    HICON hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(127));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);
    SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetTimer(kPollTimer, kPollMs, nullptr);
    return TRUE;
}

void ScreenshotDialog::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kPollTimer) return;
    ++m_nPolls;
    // The first tick comes after the first paint: the window is on screen by then.
    if (m_nPolls == 2) {
        RECT r;
        ::GetWindowRect(m_hWnd, &r);
        if (FILE* f = std::fopen(m_strReadyFile.c_str(), "w")) {
            std::fprintf(f, "%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
            std::fclose(f);
        }
    }
    if (::GetFileAttributesA(m_strStopFile.c_str()) != INVALID_FILE_ATTRIBUTES || m_nPolls >= kMaxPolls)
        EndDialog(IDOK);
}
