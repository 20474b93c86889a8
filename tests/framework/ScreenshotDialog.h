#pragma once
#include "AfxWin.h"

#include <string>

// Dialog 102 shown on screen (no hide guard) until a stop file appears, for a
// screenshot taken from outside Wine. Writes its screen rectangle to a ready file
// once it has painted.
class ScreenshotDialog : public CDialog {
public:
    ScreenshotDialog(const std::string& strReadyFile, const std::string& strStopFile)
        : CDialog(102), m_strReadyFile(strReadyFile), m_strStopFile(strStopFile) {}

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    static constexpr UINT_PTR kPollTimer = 1;
    static constexpr UINT kPollMs = 100;
    static constexpr int kMaxPolls = 300;

    std::string m_strReadyFile;
    std::string m_strStopFile;
    int m_nPolls = 0;
};
