#include <gtest/gtest.h>

#include <algorithm>

#include "ProbeDialog.h"

namespace {

std::string Traced(UINT message) { return "WindowProc " + std::to_string(message); }

std::ptrdiff_t IndexOf(const ProbeDialog& dlg, const std::string& entry)
{
    auto it = std::find(dlg.m_log.begin(), dlg.m_log.end(), entry);
    return it == dlg.m_log.end() ? -1 : it - dlg.m_log.begin();
}

std::ptrdiff_t CountOf(const ProbeDialog& dlg, const std::string& entry)
{
    return std::count(dlg.m_log.begin(), dlg.m_log.end(), entry);
}

TEST(MessageMap, ButtonClicksReachTheirHandlerOnlyForTheirIdAndNotification)
{
    ProbeDialog dlg(2);
    dlg.m_script.Add([&] {
        HWND hButton = dlg.GetDlgItem(ProbeDialog::kButtonId);
        LPARAM l = reinterpret_cast<LPARAM>(hButton);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ProbeDialog::kButtonId, BN_CLICKED), l);
        EXPECT_EQ(1, CountOf(dlg, "OnButton"));
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ProbeDialog::kButtonId, BN_DOUBLECLICKED), l);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ProbeDialog::kButtonId + 2, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(ProbeDialog::kButtonId + 2)));
        EXPECT_EQ(1, CountOf(dlg, "OnButton"));
        // The button itself notifies its parent, as a user's click would.
        ::SendMessageA(hButton, BM_CLICK, 0, 0);
        EXPECT_EQ(2, CountOf(dlg, "OnButton"));
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
}

TEST(MessageMap, WindowProcSeesTimerAndSystemCommandBeforeTheirHandlers)
{
    ProbeDialog dlg;
    dlg.m_traced = {WM_TIMER, WM_SYSCOMMAND};
    const UINT_PTR kTimer = 7;
    const UINT kCommand = 0x0010;
    dlg.m_script.Add([&] {
        dlg.SetTimer(kTimer, 10, nullptr);
        dlg.SendMessage(WM_SYSCOMMAND, kCommand, 0);
        dlg.m_script.ContinueAfter(300);
    });
    dlg.m_script.Add([&] {
        dlg.KillTimer(kTimer);
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());

    std::ptrdiff_t procTimer = IndexOf(dlg, Traced(WM_TIMER));
    std::ptrdiff_t mapTimer = IndexOf(dlg, "OnTimer " + std::to_string(kTimer));
    ASSERT_NE(-1, mapTimer);
    EXPECT_NE(-1, procTimer);
    EXPECT_LT(procTimer, mapTimer);
    std::ptrdiff_t procCommand = IndexOf(dlg, Traced(WM_SYSCOMMAND));
    std::ptrdiff_t mapCommand = IndexOf(dlg, "OnSysCommand " + std::to_string(kCommand));
    ASSERT_NE(-1, mapCommand);
    EXPECT_LT(procCommand, mapCommand);
}

TEST(MessageMap, DefaultFromASystemCommandHandlerReachesTheDialogManager)
{
    // The dialog manager turns SC_CLOSE into WM_CLOSE and that into IDCANCEL.
    ProbeDialog dlg;
    dlg.m_script.Add([&] { dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); });
    dlg.m_script.Add([] { ADD_FAILURE() << "SC_CLOSE passed on by Default() did not end the dialog"; });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_NE(-1, IndexOf(dlg, "OnSysCommand " + std::to_string(SC_CLOSE)));
}

TEST(MessageMap, ResultsFollowTheDialogProcedureReturnRules)
{
    ProbeDialog dlg;
    dlg.m_hDragIcon = ::LoadIconW(nullptr, IDI_QUESTION);
    ASSERT_NE(nullptr, dlg.m_hDragIcon);
    dlg.m_script.Add([&] {
        // Returned by the dialog procedure itself.
        EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.m_hDragIcon), dlg.SendMessage(WM_QUERYDRAGICON));
        // Returned through DWLP_MSGRESULT.
        EXPECT_EQ(ProbeDialog::kAnswer, dlg.SendMessage(ProbeDialog::kAnswerMessage));
        // Unhandled: the dialog manager keeps and answers the default id.
        LRESULT defId = dlg.SendMessage(DM_GETDEFID);
        dlg.SendMessage(DM_SETDEFID, ProbeDialog::kButtonId + 3);
        EXPECT_EQ(MAKELRESULT(ProbeDialog::kButtonId + 3, DC_HASDEFID), dlg.SendMessage(DM_GETDEFID));
        EXPECT_NE(defId, dlg.SendMessage(DM_GETDEFID));
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
}

TEST(MessageMap, InitDialogResultDecidesWhoPlacesTheFocus)
{
    const int kLastButton = ProbeDialog::kButtonId + 3;
    for (BOOL initResult : {TRUE, FALSE}) {
        ProbeDialog dlg(2);
        dlg.m_bInitResult = initResult;
        dlg.m_nInitFocusId = kLastButton;
        int focusId = 0;
        dlg.m_script.Add([&] {
            focusId = ::GetDlgCtrlID(::GetFocus());
            dlg.EndDialog(IDOK);
        });
        EXPECT_EQ(IDOK, dlg.DoModal());
        // TRUE lets the dialog manager give the focus to the first tab stop.
        EXPECT_EQ(initResult ? ProbeDialog::kButtonId : kLastButton, focusId) << "OnInitDialog returned " << initResult;
    }
}

TEST(MessageMap, DataExchangeSubclassesTheControlOnceAndItsObjectSeesItsMessages)
{
    const UINT kPing = WM_APP + 7;
    ProbeDialog dlg;
    dlg.m_logo.m_watched = {kPing};
    dlg.m_script.Add([&] {
        HWND hLogo = dlg.GetDlgItem(ProbeDialog::kLogoId);
        ASSERT_EQ(hLogo, dlg.m_logo.m_hWnd);
        EXPECT_EQ(&dlg.m_logo, CWnd::FromHandlePermanent(hLogo));
        LONG_PTR proc = ::GetWindowLongPtrA(hLogo, GWLP_WNDPROC);
        dlg.UpdateData(FALSE);
        dlg.UpdateData(TRUE);
        EXPECT_EQ(3, dlg.m_nDataExchanges);
        EXPECT_EQ(proc, ::GetWindowLongPtrA(hLogo, GWLP_WNDPROC));
        EXPECT_EQ(&dlg.m_logo, CWnd::FromHandlePermanent(hLogo));

        ::SendMessageA(hLogo, kPing, 0, 0);
        EXPECT_EQ(std::vector<UINT>{kPing}, dlg.m_logo.m_seen);
        // The static's own procedure still answers behind the object.
        EXPECT_EQ(DLGC_STATIC, ::SendMessageA(hLogo, WM_GETDLGCODE, 0, 0));
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
}

}  // namespace
