#include "RecordingWnd.h"

LRESULT RecordingWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_watched.count(message)) m_seen.push_back(message);
    return CWnd::WindowProc(message, wParam, lParam);
}
