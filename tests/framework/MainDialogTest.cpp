#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainDialogProbe.h"

namespace {

constexpr int kHotKeyId = CActionHotKey::kHotKeyId;
constexpr UINT kTemplateStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

std::string ModuleIniPath()
{
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.rfind('.')) + ".ini";
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the tray's show command does.
void PassGuardAndShow(MainDialogProbe& dlg)
{
    dlg.ShowMainWindow();
}

void PostKey(HWND hWnd, UINT vk)
{
    ::PostMessageA(hWnd, WM_KEYDOWN, vk, 1);
    ::PostMessageA(hWnd, WM_KEYUP, vk, 0xC0000001);
}

std::wstring WideText(HWND hWnd)
{
    wchar_t text[64] = {};
    ::GetWindowTextW(hWnd, text, 64);
    return text;
}

std::string ClassOf(HWND hWnd)
{
    char name[64] = {};
    ::GetClassNameA(hWnd, name, 64);
    return name;
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The dialog reads the INI file beside the test executable: there must be none,
        // and it must not write one.
        m_strIni = ModuleIniPath();
        ::DeleteFileA(m_strIni.c_str());
        // A taken hot key would stop initialisation in a message box.
        ASSERT_TRUE(::RegisterHotKey(nullptr, kHotKeyId, 0, VK_F6)) << "F6 is taken by another program";
        ::UnregisterHotKey(nullptr, kHotKeyId);
    }
    void TearDown() override { EXPECT_FALSE(FileExists(m_strIni)) << m_strIni << " was written"; }

    std::string m_strIni;
};

TEST_F(MainDialog, StaysHiddenUntilTheGuardIsPassedAndTheCloseBoxOnlyHides)
{
    MainDialogProbe dlg;
    dlg.m_script.Add([&] {
        EXPECT_FALSE(dlg.IsWindowVisible());
        dlg.ShowWindow(SW_SHOW);
        dlg.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
        EXPECT_FALSE(dlg.IsWindowVisible());
        PassGuardAndShow(dlg);
        EXPECT_TRUE(dlg.IsWindowVisible());
    });
    for (int round = 0; round < 2; ++round) {
        dlg.m_script.Add([&] { dlg.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); });
        dlg.m_script.Add([&] {
            EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
            EXPECT_FALSE(dlg.IsWindowVisible());
            dlg.ShowWindow(SW_SHOW);
            EXPECT_TRUE(dlg.IsWindowVisible());
        });
    }
    dlg.m_script.Add([&] { dlg.EndDialog(IDOK); });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.m_script.StepCount(), dlg.m_script.StepsRun());
}

TEST_F(MainDialog, EscapeWhileVisibleEndsTheModalLoopWithCancel)
{
    MainDialogProbe dlg;
    dlg.m_script.Add([&] { PassGuardAndShow(dlg); });
    dlg.m_script.Add([&] {
        ASSERT_TRUE(dlg.IsWindowVisible());
        PostKey(::GetFocus(), VK_ESCAPE);
    });
    dlg.m_script.Add([] { ADD_FAILURE() << "the loop went on after Esc"; });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

TEST_F(MainDialog, CloseMessageEndsItWhileHiddenAndDestroyReleasesTheHotKey)
{
    MainDialogProbe dlg;
    dlg.m_script.Add([&] {
        EXPECT_FALSE(::RegisterHotKey(nullptr, kHotKeyId, 0, VK_F6));
        EXPECT_EQ(static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED), ::GetLastError());
        dlg.PostMessage(WM_CLOSE);
        dlg.m_script.ContinueAfter(300);
    });
    dlg.m_script.Add([] { ADD_FAILURE() << "the loop went on after WM_CLOSE"; });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(::RegisterHotKey(nullptr, kHotKeyId, 0, VK_F6));
    ::UnregisterHotKey(nullptr, kHotKeyId);
}

TEST_F(MainDialog, QueryDragIconAnswersTheApplicationIcon)
{
    MainDialogProbe dlg;
    HICON hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(127));
    ASSERT_NE(nullptr, hIcon);
    dlg.m_script.Add([&] {
        EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), dlg.SendMessage(WM_QUERYDRAGICON));
        EXPECT_EQ(reinterpret_cast<LRESULT>(hIcon), dlg.SendMessage(WM_GETICON, ICON_BIG));
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
}

struct TemplateControl {
    int id;
    const char* className;
    DWORD kindMask;
    DWORD kind;
    bool tabStop;
    const wchar_t* wideText;
    RECT dialogUnits;  // x, y, width, height
};

// Template 102 in tab order.
const TemplateControl kControls[] = {
    {1000, "Button", BS_TYPEMASK, BS_PUSHBUTTON, true, L"关闭显示器", {73, 65, 51, 15}},
    {1001, "Static", SS_TYPEMASK, SS_BLACKFRAME, false, L"", {0, 0, 209, 47}},
    {-1, "Button", BS_TYPEMASK, BS_GROUPBOX, false, L"操作", {5, 47, 200, 47}},
    {1002, "Button", BS_TYPEMASK, BS_PUSHBUTTON, true, L"关于", {13, 98, 43, 15}},
    {1003, "Button", BS_TYPEMASK, BS_PUSHBUTTON, true, L"设置", {151, 97, 47, 15}},
};

void ExpectTemplateLayout(CMonitorToolDlg& dlg)
{
    HWND hDlg = dlg.m_hWnd;
    EXPECT_EQ(L"Velodusk", WideText(hDlg));
    DWORD style = static_cast<DWORD>(::GetWindowLongA(hDlg, GWL_STYLE));
    EXPECT_EQ(kTemplateStyle, style & kTemplateStyle);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    RECT client;
    ::GetClientRect(hDlg, &client);
    RECT size = {0, 0, 209, 118};
    ::MapDialogRect(hDlg, &size);
    EXPECT_EQ(size.right, client.right);
    EXPECT_EQ(size.bottom, client.bottom);

    LOGFONTA font = {};
    HFONT hFont = reinterpret_cast<HFONT>(dlg.SendMessage(WM_GETFONT));
    ASSERT_NE(nullptr, hFont);
    ASSERT_NE(0, ::GetObjectA(hFont, sizeof font, &font));
    wchar_t face[LF_FACESIZE] = {};
    ::MultiByteToWideChar(CP_ACP, 0, font.lfFaceName, -1, face, LF_FACESIZE);
    EXPECT_EQ(std::wstring(L"宋体"), face);

    HWND hChild = ::GetWindow(hDlg, GW_CHILD);
    for (const TemplateControl& c : kControls) {
        SCOPED_TRACE("control " + std::to_string(c.id));
        ASSERT_NE(nullptr, hChild);
        EXPECT_EQ(c.id, ::GetDlgCtrlID(hChild));
        EXPECT_EQ(c.className, ClassOf(hChild));
        DWORD childStyle = static_cast<DWORD>(::GetWindowLongA(hChild, GWL_STYLE));
        EXPECT_EQ(c.kind, childStyle & c.kindMask);
        EXPECT_EQ(c.tabStop, (childStyle & WS_TABSTOP) != 0);
        EXPECT_EQ(c.wideText, WideText(hChild));

        // The dialog manager converts origin and size separately.
        RECT units = c.dialogUnits;
        ::MapDialogRect(hDlg, &units);
        RECT actual;
        ::GetWindowRect(hChild, &actual);
        ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(units.left, actual.left);
        EXPECT_EQ(units.top, actual.top);
        EXPECT_EQ(units.right, actual.right - actual.left);
        EXPECT_EQ(units.bottom, actual.bottom - actual.top);
        hChild = ::GetWindow(hChild, GW_HWNDNEXT);
    }
    EXPECT_EQ(nullptr, hChild) << "more controls than the template has";

    EXPECT_EQ(dlg.GetDlgItem(1000), ::GetFocus());
    LRESULT defId = dlg.SendMessage(DM_GETDEFID);
    if (HIWORD(defId) == DC_HASDEFID) {
        for (const TemplateControl& c : kControls) EXPECT_NE(c.id, LOWORD(defId));
    }
}

TEST_F(MainDialog, RendersTemplate102WithoutADefaultButtonAndFocusOnTheAction)
{
    MainDialogProbe dlg;
    dlg.m_script.Add([&] {
        SCOPED_TRACE("hidden");
        ExpectTemplateLayout(dlg);
        PassGuardAndShow(dlg);
    });
    dlg.m_script.Add([&] {
        SCOPED_TRACE("shown");
        EXPECT_TRUE(dlg.IsWindowVisible());
        ExpectTemplateLayout(dlg);
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.m_script.StepCount(), dlg.m_script.StepsRun());
}

}  // namespace

namespace {

// At logon the shell may refuse or time out the first adds; the icon must still come
// without any announcement from the shell. The stand-in refuses what the shell
// refuses before it is ready: every add and change until its third add.
int g_nAddsRefused = 0;
BOOL WINAPI NotifyRefusingFirstAdds(DWORD dwMessage, PNOTIFYICONDATAW pData)
{
    if (dwMessage == NIM_ADD && g_nAddsRefused < 2) {
        ++g_nAddsRefused;
        return FALSE;
    }
    if (dwMessage == NIM_MODIFY && g_nAddsRefused < 2) return FALSE;
    return ::Shell_NotifyIconW(dwMessage, pData);
}

TEST(TrayIcon, RefusedAddsAreTriedAgainUntilTheIconIsThere)
{
    HWND hWnd = ::CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hWnd);
    {
        CTrayIcon tray(NotifyRefusingFirstAdds);
        tray.Add(hWnd, ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));
        tray.SetTip(L"tip");
        EXPECT_FALSE(tray.IsShown());
        const DWORD dwStart = ::GetTickCount();
        MSG msg;
        while (!tray.IsShown() && ::GetTickCount() - dwStart < 6 * CTrayIcon::kRetryMs &&
               ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!(msg.hwnd == hWnd && tray.OnMessage(msg.message, msg.wParam))) ::DispatchMessageW(&msg);
        }
        EXPECT_EQ(2, g_nAddsRefused);
        ASSERT_TRUE(tray.IsShown());
        // The shell has it: a change of the real icon succeeds, with the tip set while it was away.
        EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &tray.m_trayData));
        EXPECT_STREQ(L"tip", tray.m_trayData.szTip);
        tray.Delete();
        EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &tray.m_trayData));
    }
    ::DestroyWindow(hWnd);
}

}  // namespace
