#pragma once
#include "AfxWin.h"

#include <set>
#include <vector>

// A control object that notes the messages it is asked to watch, to show that a
// subclassed control's messages reach its object, and only once each.
class RecordingWnd : public CWnd {
public:
    std::set<UINT> m_watched;
    std::vector<UINT> m_seen;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
