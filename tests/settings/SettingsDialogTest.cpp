// The settings dialog against real controls: data exchange both ways, validation
// failures, the key list from the initialisation data, the red run-once text on screen.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <string>
#include <vector>

#include "CSettingsDlg.h"
#include "ModalScript.h"
#include "Resource.h"

namespace {

class ScriptedSettingsDlg : public CSettingsDlg {
public:
    ModalScript m_script;

    BOOL OnInitDialog() override
    {
        BOOL result = CSettingsDlg::OnInitDialog();
        m_script.Start(*this, 20000);
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return m_script.OnMessage(*this, message, wParam) ? 0 : CSettingsDlg::WindowProc(message, wParam, lParam);
    }
    int Check(int nID) { return static_cast<int>(SendDlgItemMessage(nID, BM_GETCHECK)); }
    void SetCheck(int nID, int nCheck) { SendDlgItemMessage(nID, BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
    BOOL Enabled(int nID) { return ::IsWindowEnabled(GetDlgItem(nID)); }
    std::wstring Text(int nID)
    {
        wchar_t sz[256] = L"";
        ::GetDlgItemTextW(m_hWnd, nID, sz, 256);
        return sz;
    }
    void Click(int nID) { SendDlgItemMessage(nID, BM_CLICK); }
    void PressOK() { SendMessage(WM_COMMAND, IDOK); }
};

// Closes every message box the thread shows, recording its text: a thread timer is
// dispatched by the box's own modal loop.
class BoxCloser {
public:
    explicit BoxCloser(HWND hDialog) { s_hDialog = hDialog; s_texts.clear(); m_id = ::SetTimer(nullptr, 0, 50, &Tick); }
    ~BoxCloser() { ::KillTimer(nullptr, m_id); }
    static std::vector<std::wstring> s_texts;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ::EnumThreadWindows(::GetCurrentThreadId(), &Close, 0); }
    static BOOL CALLBACK Close(HWND hWnd, LPARAM)
    {
        char szClass[16] = "";
        ::GetClassNameA(hWnd, szClass, sizeof szClass);
        if (hWnd != s_hDialog && std::string(szClass) == "#32770" && ::IsWindowVisible(hWnd)) {
            wchar_t sz[256] = L"";
            ::GetDlgItemTextW(hWnd, 0xFFFF, sz, 256);
            s_texts.push_back(sz);
            ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    static HWND s_hDialog;
    UINT_PTR m_id;
};
std::vector<std::wstring> BoxCloser::s_texts;
HWND BoxCloser::s_hDialog = nullptr;

struct TemplateControl {
    int id;
    const char* className;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE; WS_GROUP and WS_TABSTOP exactly
    const wchar_t* text;
    RECT dialogUnits;  // x, y, width, height (0: not compared)
};

// Template 130 in tab order.
const TemplateControl kControls[] = {
    {IDOK, "Button", BS_PUSHBUTTON | WS_TABSTOP, L"OK", {65, 141, 39, 14}},
    {-1, "Static", SS_LEFT | WS_GROUP, L"快捷键：", {11, 16, 34, 9}},
    {IDC_AUTORUN, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, L"随系统自动启动", {90, 111, 71, 11}},
    {-1, "Button", BS_GROUPBOX, L"设置", {4, 1, 167, 137}},
    {IDC_RUNRUN, "Button", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP,
     L"启动即执行功能(无托盘图标，执行功能后即退出，不占任何资源)", {11, 90, 155, 17}},
    {-1, "Button", BS_GROUPBOX, L"锁定/关闭", {10, 34, 155, 24}},
    {IDC_LOCK_ALL, "Button", BS_AUTORADIOBUTTON | WS_GROUP, L"屏/键/鼠", {17, 44, 48, 10}},
    {IDC_LOCK_MONITOR, "Button", BS_AUTORADIOBUTTON, L"屏", {81, 44, 24, 10}},
    {IDC_LOCK_INPUT, "Button", BS_AUTORADIOBUTTON, L"键/鼠", {121, 44, 36, 10}},
    {IDC_DESKTOP, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, L"桌面快捷方式", {11, 111, 64, 11}},
    {IDC_TIMESKM, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, L"定时关闭、锁定", {12, 73, 72, 10}},
    {IDC_TIMESKM_VALUE, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, L"", {107, 71, 30, 14}},
    // The up-down control sizes its own width.
    {IDC_TIMESKM_SPIN, "msctls_updown32", UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS | WS_GROUP, L"",
     {135, 71, 0, 14}},
    {-1, "Static", SS_LEFT | WS_GROUP, L"分钟", {149, 74, 17, 8}},
    {IDC_ACCCTRL, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, L"Ctrl +", {85, 14, 41, 13}},
    // A drop-down list's window is its closed height; the template's 95 is the list's.
    {IDC_ACCKEY, "ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, L"", {128, 13, 37, 0}},
};

TEST(SettingsDialog, Template130)
{
    ScriptedSettingsDlg dlg;
    dlg.m_script.Add([&] {
        wchar_t sz[128] = L"";
        ::GetWindowTextW(dlg.m_hWnd, sz, 128);
        EXPECT_STREQ(L"设置", sz);
        const DWORD kStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        EXPECT_EQ(kStyle, static_cast<DWORD>(::GetWindowLongA(dlg.m_hWnd, GWL_STYLE)) & kStyle);
        RECT client, size = {0, 0, 175, 160};
        ::GetClientRect(dlg.m_hWnd, &client);
        ::MapDialogRect(dlg.m_hWnd, &size);
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);

        HWND hChild = ::GetWindow(dlg.m_hWnd, GW_CHILD);
        for (const TemplateControl& c : kControls) {
            SCOPED_TRACE(c.id);
            ASSERT_NE(nullptr, hChild);
            EXPECT_EQ(c.id, static_cast<short>(::GetDlgCtrlID(hChild)));
            char szClass[64] = "";
            ::GetClassNameA(hChild, szClass, sizeof szClass);
            EXPECT_EQ(0, lstrcmpiA(c.className, szClass)) << szClass;
            DWORD style = static_cast<DWORD>(::GetWindowLongA(hChild, GWL_STYLE));
            // The edit turns its border into a client edge; the combo box hands its
            // scroll bar to its list.
            DWORD want = c.style & ~(WS_BORDER | WS_VSCROLL);
            EXPECT_EQ(want, style & want);
            EXPECT_EQ(c.style & (WS_GROUP | WS_TABSTOP), style & (WS_GROUP | WS_TABSTOP));
            if (c.id != IDC_TIMESKM_VALUE) {
                ::GetWindowTextW(hChild, sz, 128);
                EXPECT_STREQ(c.text, sz);
            }
            RECT units = c.dialogUnits, actual;
            ::MapDialogRect(dlg.m_hWnd, &units);
            ::GetWindowRect(hChild, &actual);
            ::MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(units.left, actual.left);
            EXPECT_EQ(units.top, actual.top);
            if (c.dialogUnits.right) {
                EXPECT_EQ(units.right, actual.right - actual.left);
            }
            if (c.dialogUnits.bottom) {
                EXPECT_EQ(units.bottom, actual.bottom - actual.top);
            }
            hChild = ::GetWindow(hChild, GW_HWNDNEXT);
        }
        EXPECT_EQ(nullptr, hChild) << "more controls than the template has";
        EXPECT_EQ(dlg.GetDlgItem(IDC_TIMESKM_VALUE), reinterpret_cast<HWND>(
            dlg.SendDlgItemMessage(IDC_TIMESKM_SPIN, UDM_GETBUDDY))) << "the up-down's buddy";
        dlg.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

TEST(SettingsDialog, ExchangesEveryFieldAndFollowsTheClicks)
{
    ScriptedSettingsDlg dlg;
    dlg.m_values.nAutoRun = 1, dlg.m_values.nLock = 2, dlg.m_values.nDesktop = 1, dlg.m_values.nTimeSKM = 1;
    dlg.m_values.nTimeSKMValue = 42, dlg.m_values.nAccCtrl = 1, dlg.m_values.nAccKey = 3;
    dlg.m_script.Add([&] {
        // The list from the initialisation data, unsorted, with the member's index selected.
        ASSERT_EQ(7, dlg.SendDlgItemMessage(IDC_ACCKEY, CB_GETCOUNT));
        for (int i = 0; i < 7; ++i) {
            wchar_t sz[8] = L"";
            dlg.SendDlgItemMessage(IDC_ACCKEY, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(sz));
            EXPECT_EQ(L"F" + std::to_wstring(6 + i), sz);
        }
        EXPECT_EQ(3, dlg.SendDlgItemMessage(IDC_ACCKEY, CB_GETCURSEL));
        EXPECT_EQ((std::vector<int>{1, 0, 0, 0, 1, 1, 1, 1}),
                  (std::vector<int>{dlg.Check(IDC_AUTORUN), dlg.Check(IDC_RUNRUN), dlg.Check(IDC_LOCK_ALL),
                                    dlg.Check(IDC_LOCK_MONITOR), dlg.Check(IDC_LOCK_INPUT), dlg.Check(IDC_DESKTOP),
                                    dlg.Check(IDC_TIMESKM), dlg.Check(IDC_ACCCTRL)}));
        EXPECT_EQ(L"42", dlg.Text(IDC_TIMESKM_VALUE));
        EXPECT_TRUE(dlg.Enabled(IDC_AUTORUN) && dlg.Enabled(IDC_TIMESKM_VALUE) && dlg.Enabled(IDC_TIMESKM_SPIN));
        EXPECT_EQ(MAKELONG(10000, 1), dlg.SendDlgItemMessage(IDC_TIMESKM_SPIN, UDM_GETRANGE));
        EXPECT_EQ(IDOK, ::GetDlgCtrlID(::GetFocus()));

        // Controls to members.
        dlg.SetCheck(IDC_AUTORUN, 0);
        dlg.SetCheck(IDC_LOCK_INPUT, 0);
        dlg.SetCheck(IDC_LOCK_MONITOR, 1);
        ::SetDlgItemTextA(dlg.m_hWnd, IDC_TIMESKM_VALUE, " +77 ");
        dlg.SendDlgItemMessage(IDC_ACCKEY, CB_SETCURSEL, 6);
        dlg.SetCheck(IDC_ACCCTRL, 0);
        EXPECT_TRUE(dlg.UpdateData(TRUE));
        EXPECT_EQ((std::vector<int>{0, 1, 77, 0, 6}),
                  (std::vector<int>{dlg.m_values.nAutoRun, dlg.m_values.nLock, dlg.m_values.nTimeSKMValue, dlg.m_values.nAccCtrl, dlg.m_values.nAccKey}));

        // Values outside the group and the list mark and select nothing, and read back as -1.
        dlg.m_values.nLock = 5, dlg.m_values.nAccKey = 9;
        dlg.UpdateData(FALSE);
        EXPECT_EQ(0, dlg.Check(IDC_LOCK_ALL) + dlg.Check(IDC_LOCK_MONITOR) + dlg.Check(IDC_LOCK_INPUT));
        EXPECT_EQ(CB_ERR, dlg.SendDlgItemMessage(IDC_ACCKEY, CB_GETCURSEL));
        EXPECT_TRUE(dlg.UpdateData(TRUE));
        EXPECT_EQ(-1, dlg.m_values.nLock);
        EXPECT_EQ(-1, dlg.m_values.nAccKey);

        // Run-once clears and greys the start-up box; unticking it ticks that box.
        dlg.Click(IDC_RUNRUN);
        EXPECT_FALSE(dlg.Enabled(IDC_AUTORUN));
        EXPECT_EQ(0, dlg.Check(IDC_AUTORUN));
        dlg.Click(IDC_RUNRUN);
        EXPECT_TRUE(dlg.Enabled(IDC_AUTORUN));
        EXPECT_EQ(1, dlg.Check(IDC_AUTORUN));
        // The arrows stop at 1 and 10000 and write what the exchange reads back.
        HWND hEdit = dlg.GetDlgItem(IDC_TIMESKM_VALUE);
        BoxCloser closer(dlg.m_hWnd);  // a refusal must not hang the test
        for (const char* start : {"9999", "2"}) {
            ::SetWindowTextA(hEdit, start);
            WPARAM key = start[0] == '2' ? VK_DOWN : VK_UP;
            for (int i = 0; i < 3; ++i) ::SendMessageA(hEdit, WM_KEYDOWN, key, 1);
            EXPECT_TRUE(dlg.UpdateData(TRUE)) << dlg.Text(IDC_TIMESKM_VALUE);
            EXPECT_EQ(key == VK_UP ? 10000 : 1, dlg.m_values.nTimeSKMValue);
        }
        ::SetWindowTextA(hEdit, "77");
        // The idle box greys and enables the minutes, which keep their value.
        dlg.Click(IDC_TIMESKM);
        EXPECT_FALSE(dlg.Enabled(IDC_TIMESKM_VALUE) || dlg.Enabled(IDC_TIMESKM_SPIN));
        EXPECT_EQ(L"77", dlg.Text(IDC_TIMESKM_VALUE));
        dlg.PressOK();
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(0, dlg.m_values.nTimeSKM);
}

TEST(SettingsDialog, RefusedMinutesKeepTheDialogOpenWithTheEditSelected)
{
    ScriptedSettingsDlg dlg;
    dlg.m_values.nAccKey = 0;
    dlg.m_script.Add([&] {
        BoxCloser closer(dlg.m_hWnd);
        // While the edit is grey (idle trigger off) the exchange reads it all the same.
        dlg.PressOK();
        ASSERT_TRUE(::IsWindowVisible(dlg.m_hWnd)) << "minutes 0 accepted";
        ASSERT_EQ(1u, BoxCloser::s_texts.size());
        dlg.Click(IDC_TIMESKM);
        EXPECT_EQ(2u, BoxCloser::s_texts.size()) << "the click reads the fields: one message";
        ASSERT_TRUE(dlg.Enabled(IDC_TIMESKM_VALUE)) << "and still takes effect";
        for (const char* bad : {"0", "10001", "", "abc", "1x", "- 5", "99999999999"}) {
            SCOPED_TRACE(bad);
            size_t boxes = BoxCloser::s_texts.size();
            ::SetDlgItemTextA(dlg.m_hWnd, IDC_TIMESKM_VALUE, bad);
            dlg.SetCheck(IDC_DESKTOP, 1);  // before the minutes: read
            dlg.SetCheck(IDC_ACCCTRL, 1);  // after them: not read
            dlg.m_values.nDesktop = dlg.m_values.nAccCtrl = 0;
            dlg.PressOK();
            ASSERT_TRUE(::IsWindowVisible(dlg.m_hWnd)) << "the dialog ended";
            EXPECT_EQ(boxes + 1, BoxCloser::s_texts.size());
            EXPECT_EQ(1, dlg.m_values.nDesktop);
            EXPECT_EQ(0, dlg.m_values.nAccCtrl);
            EXPECT_EQ(dlg.GetDlgItem(IDC_TIMESKM_VALUE), ::GetFocus());
            DWORD start = 0, end = 0;
            dlg.SendDlgItemMessage(IDC_TIMESKM_VALUE, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                   reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(0u, start);
            EXPECT_EQ(std::string(bad).size(), end);
        }
        ::SetDlgItemTextA(dlg.m_hWnd, IDC_TIMESKM_VALUE, "1");
        EXPECT_TRUE(dlg.UpdateData(TRUE));
        ::SetDlgItemTextA(dlg.m_hWnd, IDC_TIMESKM_VALUE, "10000");
        dlg.PressOK();
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(10000, dlg.m_values.nTimeSKMValue);
    ASSERT_FALSE(BoxCloser::s_texts.empty());
    EXPECT_NE(std::string::npos, BoxCloser::s_texts.front().find(L"10000")) << "the range is named";
}

int RedPixels(HWND hCtrl)
{
    RECT rc;
    ::GetClientRect(hCtrl, &rc);
    HDC hdc = ::GetDC(hCtrl);
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (::GetPixel(hdc, x, y) == CSettingsDlg::kRunRunTextColor) ++n;
    ::ReleaseDC(hCtrl, hdc);
    return n;
}

// With a visual style active (the test prefix has Wine's light theme on) a themed
// check box takes the theme's text colour on Windows; Wine's honours the red either
// way, so what tells is that the run-once box has no theme while its neighbour has.
TEST(SettingsDialog, RunOnceTextReachesTheScreenInRed)
{
    ASSERT_TRUE(::IsThemeActive()) << "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager: ThemeActive";
    ScriptedSettingsDlg dlg;
    dlg.m_script.Add([&] {
        ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_NE(nullptr, ::GetWindowTheme(dlg.GetDlgItem(IDC_AUTORUN)));
        EXPECT_EQ(nullptr, ::GetWindowTheme(dlg.GetDlgItem(IDC_RUNRUN)));
        EXPECT_GT(RedPixels(dlg.GetDlgItem(IDC_RUNRUN)), 20);
        EXPECT_EQ(0, RedPixels(dlg.GetDlgItem(IDC_AUTORUN)));
        dlg.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

}  // namespace
