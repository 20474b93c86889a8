#include <gtest/gtest.h>

#include <cstring>

#include "CAboutDlg.h"
#include "HelpProgram.h"
#include "LinkHost.h"
#include "LinkTestIds.h"
#include "Resource.h"

namespace {
// Under emulated 32-bit Wine a 100 ms timer tick can come late by this much.
constexpr DWORD kLeaveToleranceMs = 400;
constexpr DWORD kWaitMs = 5000;
const std::string kOpenVerb = "open|";

// A link that counts its polling ticks, logs its end and can be destroyed from
// inside one of its own messages.
class ProbeLink : public CStaticLink {
public:
    static constexpr UINT kDestroyFromHandler = WM_APP + 0x220;
    ProbeLink(LPCWSTR lpszTarget, BOOL bSelfDelete, std::vector<std::string>* pLog = nullptr)
        : CStaticLink(lpszTarget, bSelfDelete), m_pLog(pLog) {}
    ~ProbeLink() override { if (m_pLog) m_pLog->push_back("deleted"); }
    int m_nTicks = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_TIMER) ++m_nTicks;
        if (message != kDestroyFromHandler) return CStaticLink::WindowProc(message, wParam, lParam);
        std::vector<std::string>* pLog = m_pLog;
        ::DestroyWindow(m_hWnd);
        pLog->push_back("handler returned");
        return 0;
    }

private:
    std::vector<std::string>* m_pLog;
};

POINT CentreOf(HWND hWnd)
{
    RECT r;
    ::GetWindowRect(hWnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The pointer onto the control: the system's own hit test starts the hover.
void PointAt(CStaticLink& link)
{
    POINT pt = CentreOf(link.m_hWnd);
    ::SetCursorPos(pt.x, pt.y);
    ASSERT_TRUE(PumpUntil([&] { return link.m_bHover != FALSE; }, kWaitMs)) << "no hover";
}

// Away from the control; answers how long the link took to notice.
double PointAway(CStaticLink& link)
{
    RECT r;
    ::GetWindowRect(::GetParent(link.m_hWnd), &r);
    LARGE_INTEGER f, t0, t1;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t0);
    ::SetCursorPos(r.right + 40, r.bottom + 40);
    EXPECT_TRUE(PumpUntil([&] { return link.m_bHover == FALSE; }, kWaitMs)) << "hover never ended";
    ::QueryPerformanceCounter(&t1);
    return 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
}

bool g_bMarkerFired;
void CALLBACK MarkerFired(HWND, UINT, UINT_PTR, DWORD) { g_bMarkerFired = true; }

void Click(CStaticLink& link) { link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1)); }

LOGFONTA FontOf(HFONT hFont)
{
    LOGFONTA lf = {};
    EXPECT_EQ(static_cast<int>(sizeof(lf)), ::GetObjectA(hFont, sizeof(lf), &lf));
    return lf;
}

HBRUSH ColourAnswer(HWND hDlg, HWND hCtrl)
{
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HBRUSH hBrush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hCtrl)));
    ::DeleteDC(hDC);
    return hBrush;
}
}

TEST(StaticLink, ColoursFollowHoverOpenAndLeave)
{
    RunInDialog([](LinkHost& dlg) {
        ProbeLink link(Wide(ModuleDirectory() + LINK_TEST_TARGET).c_str(), FALSE);
        ASSERT_TRUE(link.SubclassDlgItem(IDC_MAIL_LINK, &dlg));
        link.Invalidate();

        Ink ink = InkOf(link.m_hWnd);
        EXPECT_GT(ink.nNormal, 5);
        EXPECT_EQ(0, ink.nHover + ink.nVisited);
        // A copy of the dialog's font, attributes unchanged.
        HFONT hDialogFont = reinterpret_cast<HFONT>(dlg.SendMessage(WM_GETFONT));
        ASSERT_NE(nullptr, link.m_fontLink.GetSafeHandle());
        EXPECT_NE(hDialogFont, link.m_fontLink.GetSafeHandle());
        LOGFONTA copy = FontOf(link.m_fontLink.GetSafeHandle()), original = FontOf(hDialogFont);
        EXPECT_EQ(0, std::memcmp(&copy, &original, sizeof(copy)));
        // Hollow: the parent's background shows through.
        EXPECT_EQ(::GetStockObject(NULL_BRUSH), ColourAnswer(dlg.m_hWnd, link.m_hWnd));

        ASSERT_NO_FATAL_FAILURE(PointAt(link));
        ink = InkOf(link.m_hWnd);
        EXPECT_GT(ink.nHover, ink.nNormal + ink.nVisited);
        // While the pointer stays, the ticks change nothing.
        ASSERT_TRUE(PumpUntil([&] { return link.m_nTicks >= 3; }, kWaitMs));
        EXPECT_TRUE(link.m_bHover);
        EXPECT_EQ(CStaticLink::s_crHover, link.m_crText);

        // A successful open: purple until the pointer leaves, no beep.
        std::size_t nOpened = Calls().opened.size();
        int nBeeps = Calls().nBeeps;
        Click(link);
        ASSERT_EQ(nOpened + 1, Calls().opened.size());
        EXPECT_EQ(kOpenVerb + Narrow(link.m_target.Str()), Calls().opened.back());
        EXPECT_EQ(nBeeps, Calls().nBeeps);
        ink = InkOf(link.m_hWnd);
        EXPECT_GT(ink.nVisited, ink.nNormal + ink.nHover);

        double ms = PointAway(link);
        EXPECT_LT(ms, 100.0 + kLeaveToleranceMs);
        ink = InkOf(link.m_hWnd);
        EXPECT_GT(ink.nNormal, ink.nHover + ink.nVisited);
        // The timer is gone: no tick while the dialog's own timer runs out.
        int nTicks = link.m_nTicks;
        g_bMarkerFired = false;
        UINT_PTR id = ::SetTimer(nullptr, 0, 350, &MarkerFired);
        PumpUntil([&] { return g_bMarkerFired; }, kWaitMs);
        ::KillTimer(nullptr, id);
        EXPECT_TRUE(g_bMarkerFired);
        EXPECT_EQ(nTicks, link.m_nTicks);
        EXPECT_FALSE(::KillTimer(link.m_hWnd, link.m_nTimerId));

        // A failing open: one beep, still red.
        link.m_target = L"Z:\\no\\such\\program.exe";
        ASSERT_NO_FATAL_FAILURE(PointAt(link));
        Click(link);
        EXPECT_EQ(nBeeps + 1, Calls().nBeeps);
        EXPECT_EQ(CStaticLink::s_crHover, link.m_crText);
        ink = InkOf(link.m_hWnd);
        EXPECT_GT(ink.nHover, ink.nNormal + ink.nVisited);
        PointAway(link);
    });
}

TEST(StaticLink, EmptyTargetTakesStringResourceThenWindowText)
{
    RunInDialog([](LinkHost& dlg) {
        HWND hCtrl = dlg.GetDlgItem(IDC_MAIL_LINK);
        struct Case { int nId; const char* text; const char* opened; };
        // The resource wins over the text; without a resource the text; with neither nothing.
        for (const Case& c : {Case{IDC_MAIL_LINK, "E-Mail", LINK_TEST_TARGET},
                              Case{LINK_TEST_NO_STRING_ID, "E-Mail", "E-Mail"},
                              Case{LINK_TEST_NO_STRING_ID, "", nullptr}}) {
            ::SetWindowLongPtrA(hCtrl, GWLP_ID, c.nId);
            ::SetWindowTextW(hCtrl, Wide(c.text).c_str());
            CStaticLink link;
            ASSERT_TRUE(link.SubclassWindow(hCtrl));
            std::size_t nOpened = Calls().opened.size();
            int nBeeps = Calls().nBeeps, nLoads = Calls().nLoadStrings;
            Click(link);
            if (!c.opened) {
                EXPECT_EQ(nOpened, Calls().opened.size());
                EXPECT_EQ(nBeeps, Calls().nBeeps);
                EXPECT_EQ(CStaticLink::s_crNormal, link.m_crText);
            } else {
                // Kept: a changed text and a second click reload nothing.
                ::SetWindowTextW(hCtrl, L"changed");
                int nLoadsAfterFirst = Calls().nLoadStrings;
                Click(link);
                EXPECT_EQ(nLoadsAfterFirst, Calls().nLoadStrings);
                EXPECT_EQ(nLoads + 1, nLoadsAfterFirst);
                ASSERT_EQ(nOpened + 2, Calls().opened.size());
                EXPECT_EQ(kOpenVerb + c.opened, Calls().opened[nOpened]);
                EXPECT_EQ(kOpenVerb + c.opened, Calls().opened[nOpened + 1]);
                EXPECT_EQ(std::string(c.opened), Narrow(link.m_target.Str()));
            }
            link.UnsubclassWindow();
        }
        ::SetWindowLongPtrA(hCtrl, GWLP_ID, IDC_MAIL_LINK);
    });
}

TEST(StaticLink, OtherStaticStylesStayUncolouredButHoverAndOpen)
{
    RunInDialog([](LinkHost& dlg) {
        HWND hIcon = dlg.Child(0), hNoPrefix = dlg.Child(1), hPlain = dlg.Child(3);
        ASSERT_EQ(static_cast<DWORD>(SS_ICON), ::GetWindowLongA(hIcon, GWL_STYLE) & 0xFF);
        ASSERT_EQ(static_cast<DWORD>(SS_NOPREFIX), ::GetWindowLongA(hNoPrefix, GWL_STYLE) & 0xFF);
        HBRUSH hUsual = ColourAnswer(dlg.m_hWnd, hPlain);
        // A window the framework never attached, with something in its user slot.
        ::SetWindowLongPtrA(hPlain, GWLP_USERDATA, 0x5A5A5A5A);
        EXPECT_EQ(hUsual, ColourAnswer(dlg.m_hWnd, hPlain));

        for (HWND hCtrl : {hIcon, hNoPrefix}) {
            ProbeLink link(Wide(ModuleDirectory() + LINK_TEST_TARGET).c_str(), FALSE);
            ASSERT_TRUE(link.SubclassWindow(hCtrl));
            EXPECT_EQ(hUsual, ColourAnswer(dlg.m_hWnd, hCtrl));
            link.Invalidate();
            if (hCtrl == hNoPrefix) { EXPECT_EQ(0, InkOf(hCtrl).nNormal); }
            ASSERT_NO_FATAL_FAILURE(PointAt(link));
            if (hCtrl == hNoPrefix) { EXPECT_EQ(0, InkOf(hCtrl).nHover); }
            std::size_t nOpened = Calls().opened.size();
            Click(link);
            EXPECT_EQ(nOpened + 1, Calls().opened.size());
            EXPECT_EQ(CStaticLink::s_crVisited, link.m_crText);
            EXPECT_EQ(nullptr, link.m_fontLink.GetSafeHandle());
            PointAway(link);
        }
    });
}

TEST(StaticLink, SelfDeletingLinkEndsAfterItsLastMessageOwnedOneStays)
{
    RunInDialog([](LinkHost& dlg) {
        auto makeStatic = [&] {
            return ::CreateWindowA("STATIC", "x", WS_CHILD | SS_LEFT, 0, 0, 10, 10, dlg.m_hWnd, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        };
        std::vector<std::string> log;
        (new ProbeLink(nullptr, TRUE, &log))->SubclassWindow(makeStatic());
        HWND hFromInside = makeStatic();
        (new ProbeLink(nullptr, TRUE, &log))->SubclassWindow(hFromInside);
        ProbeLink owned(nullptr, FALSE, &log);
        HWND hOwned = makeStatic();
        owned.SubclassWindow(hOwned);

        ::DestroyWindow(::GetWindow(hFromInside, GW_HWNDPREV));
        EXPECT_EQ(std::vector<std::string>{"deleted"}, log);
        ::SendMessageA(hFromInside, ProbeLink::kDestroyFromHandler, 0, 0);
        EXPECT_EQ((std::vector<std::string>{"deleted", "handler returned", "deleted"}), log);
        ::DestroyWindow(hOwned);
        EXPECT_EQ(3u, log.size());
        EXPECT_EQ(nullptr, owned.m_hWnd);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hOwned));
        log.clear();
    });
}

TEST(StaticLink, RunTimeRecord)
{
    CStaticLink link;
    const CObject& object = link;
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CStatic)));
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_STREQ("CStaticLink", object.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CStatic), object.GetRuntimeClass()->m_pBaseClass);
    CAboutDlg about;
    EXPECT_FALSE(about.IsKindOf(RUNTIME_CLASS(CStatic)));
}

TEST(StaticLink, MessagePositionsAreSignedWords)
{
    // Left of and above the primary monitor.
    CPoint pt(static_cast<LPARAM>(MAKELONG(-5, -7)));
    EXPECT_EQ(-5, pt.x);
    EXPECT_EQ(-7, pt.y);
}

// One case per process: the help program is tried once per process.
class HelpCursor : public ::testing::Test {
protected:
    // Puts SOURCE (a file beside the test) where the help program lives, for this case only.
    void PlaceHelpProgram(const char* source)
    {
        char dir[MAX_PATH];
        UINT n = ::GetWindowsDirectoryA(dir, MAX_PATH);
        ASSERT_TRUE(n > 0 && n < MAX_PATH);
        m_path = std::string(dir) + HELP_PROGRAM_FILE;
        m_saved = m_path + ".saved";
        m_bSaved = ::MoveFileExA(m_path.c_str(), m_saved.c_str(), MOVEFILE_REPLACE_EXISTING);
        ASSERT_TRUE(::CopyFileA((ModuleDirectory() + source).c_str(), m_path.c_str(), FALSE));
    }
    void TearDown() override
    {
        if (m_path.empty()) return;
        ::DeleteFileA(m_path.c_str());
        if (m_bSaved) ::MoveFileA(m_saved.c_str(), m_path.c_str());
    }
    // Sends WM_SETCURSOR to two links; answers their results and how often the help
    // program was loaded.
    void TwoLinks(BOOL results[2], int& nLoads)
    {
        RunInDialog([&](LinkHost& dlg) {
            CStaticLink first, second;
            ASSERT_TRUE(first.SubclassWindow(dlg.Child(3)));
            ASSERT_TRUE(second.SubclassWindow(dlg.Child(4)));
            results[0] = static_cast<BOOL>(first.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(first.m_hWnd),
                                                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
            results[1] = static_cast<BOOL>(second.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(second.m_hWnd),
                                                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
            if (results[1]) { EXPECT_EQ(CStaticLink::s_hLinkCursor, ::GetCursor()); }
        });
        nLoads = 0;
        for (const std::string& s : Calls().libraries) nLoads += lstrcmpiA(s.c_str(), m_path.c_str()) == 0;
    }
    std::string m_path, m_saved;
    BOOL m_bSaved = FALSE;
};

TEST_F(HelpCursor, MissingCursorIsTriedOnce)
{
    // A module without cursor 106.
    ASSERT_NO_FATAL_FAILURE(PlaceHelpProgram(LINK_TEST_TARGET));
    BOOL results[2];
    int nLoads;
    TwoLinks(results, nLoads);
    EXPECT_FALSE(results[0]);
    EXPECT_FALSE(results[1]);
    EXPECT_EQ(1, nLoads);
    EXPECT_TRUE(CStaticLink::s_bCursorTried);
    EXPECT_EQ(nullptr, CStaticLink::s_hLinkCursor);
}

TEST_F(HelpCursor, CursorLoadedOnceAndShared)
{
    ASSERT_NO_FATAL_FAILURE(PlaceHelpProgram("HelpCursor.dll"));
    BOOL results[2];
    int nLoads;
    TwoLinks(results, nLoads);
    EXPECT_TRUE(results[0]);
    EXPECT_TRUE(results[1]);
    EXPECT_EQ(1, nLoads);
    // The private copy outlives the released module.
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(CStaticLink::s_hLinkCursor), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(8u, info.xHotspot);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
}
