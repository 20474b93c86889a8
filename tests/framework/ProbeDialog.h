#pragma once
#include "AfxWin.h"

#include <set>
#include <string>
#include <vector>

#include "ModalScript.h"
#include "RecordingWnd.h"

// A dialog over template 102 with one handler for each kind of message-map entry.
// Every handler and the WindowProc override write to one log, so a test can read the
// order in which a message passed through them.
class ProbeDialog : public CDialog {
public:
    static constexpr UINT kTemplateId = 102;
    static constexpr int kButtonId = 1000;
    static constexpr int kLogoId = 1001;
    // Answered by WindowProc alone, without the message map or the base class.
    static constexpr UINT kAnswerMessage = WM_APP + 2;
    static constexpr LRESULT kAnswer = 0x1234;

    explicit ProbeDialog(int nHideGuard = 1) : CDialog(kTemplateId), m_nHideGuard(nHideGuard) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_nHideGuard;
    ModalScript m_script;
    std::vector<std::string> m_log;
    // Messages WindowProc logs on their way in.
    std::set<UINT> m_traced;
    RecordingWnd m_logo;
    int m_nDataExchanges = 0;
    BOOL m_bInitResult = TRUE;
    // A control OnInitDialog gives the focus to, or 0.
    int m_nInitFocusId = 0;
    // A result OnInitDialog ends the dialog with, or 0.
    int m_nEndAtInit = 0;
    HICON m_hDragIcon = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void PostNcDestroy() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    HCURSOR OnQueryDragIcon();
    void OnButton();
    void OnDestroy();
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()
};
