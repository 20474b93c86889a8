// Modal dialogs and their owners, and handlers that throw.
#include <gtest/gtest.h>

#include <stdexcept>

#include "CWinApp.h"
#include "ProbeDialog.h"

namespace {

class OwnedProbe : public ProbeDialog {
public:
    explicit OwnedProbe(CWnd* pOwner) : ProbeDialog(2) { m_pParentWnd = pOwner; }
    BOOL m_bOwnerEnabledAtInit = TRUE;

protected:
    BOOL OnInitDialog() override
    {
        m_bOwnerEnabledAtInit = ::IsWindowEnabled(m_pParentWnd->m_hWnd);
        return ProbeDialog::OnInitDialog();
    }
};

POINT Centre(const RECT& rc) { return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

void ExpectCentredOn(HWND hWnd, const RECT& rcArea)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    EXPECT_NEAR(Centre(rcArea).x, Centre(rc).x, 1);
    EXPECT_NEAR(Centre(rcArea).y, Centre(rc).y, 1);
}

TEST(DialogOwner, DisabledWhileTheDialogExistsAndCentresFollowTheOwner)
{
    ProbeDialog owner(2);
    owner.m_script.Add([&] {
        RECT rcWork;
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
        ExpectCentredOn(owner.m_hWnd, rcWork);  // no owner: the screen's work area
        ::SetWindowPos(owner.m_hWnd, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        OwnedProbe dlg(&owner);
        dlg.m_script.Add([&] {
            RECT rcOwner;
            ::GetWindowRect(owner.m_hWnd, &rcOwner);
            ExpectCentredOn(dlg.m_hWnd, rcOwner);
            EXPECT_FALSE(::IsWindowEnabled(owner.m_hWnd));
            dlg.EndDialog(IDOK);
        });
        EXPECT_EQ(IDOK, dlg.DoModal());
        EXPECT_FALSE(dlg.m_bOwnerEnabledAtInit) << "the owner took input while the dialog was set up";
        EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
        owner.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, owner.DoModal());
}

TEST(DialogOwner, ADialogWithoutParentIsOwnedByTheActiveModalDialog)
{
    CWinApp app;
    ProbeDialog mainDlg(2);
    app.m_pMainWnd = &mainDlg;
    mainDlg.m_script.Add([&] {
        ProbeDialog settings(2);
        settings.m_script.Add([&] {
            ProbeDialog box(2);
            box.m_script.Add([&] {
                EXPECT_EQ(settings.m_hWnd, ::GetWindow(box.m_hWnd, GW_OWNER));
                EXPECT_FALSE(::IsWindowEnabled(settings.m_hWnd)) << "the dialog under the box took input";
                box.EndDialog(IDOK);
            });
            EXPECT_EQ(IDOK, box.DoModal());
            EXPECT_TRUE(::IsWindowEnabled(settings.m_hWnd));
            settings.EndDialog(IDOK);
        });
        EXPECT_EQ(IDOK, settings.DoModal());
        mainDlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, mainDlg.DoModal());
    app.m_pMainWnd = nullptr;
}

// Throws from its window procedure for one message.
class ThrowingWnd : public CWnd {
public:
    static constexpr UINT kThrow = WM_APP + 7;
    int m_nSeen = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kThrow) throw std::runtime_error("escaped from a handler");
        if (message == WM_APP) return ++m_nSeen;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(DialogOwner, AnExceptionEndsAtTheWindowProcedure)
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ThrowingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hWnd));
    EXPECT_EQ(0, ::SendMessageA(hWnd, ThrowingWnd::kThrow, 0, 0));
    EXPECT_EQ(1, ::SendMessageA(hWnd, WM_APP, 0, 0)) << "the window works on";
    ::PostMessageA(hWnd, ThrowingWnd::kThrow, 0, 0);
    MSG msg;
    while (::PeekMessageA(&msg, hWnd, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    EXPECT_EQ(2, ::SendMessageA(hWnd, WM_APP, 0, 0));
    wnd.DestroyWindow();
}

}  // namespace
