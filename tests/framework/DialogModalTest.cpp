#include <gtest/gtest.h>

#include <algorithm>

#include "ProbeDialog.h"

namespace {

constexpr UINT kNoChange = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;

void PostKey(HWND hWnd, UINT vk)
{
    ::PostMessageA(hWnd, WM_KEYDOWN, vk, 1);
    ::PostMessageA(hWnd, WM_KEYUP, vk, 0xC0000001);
}

bool Logged(const ProbeDialog& dlg, const std::string& entry)
{
    for (const std::string& e : dlg.m_log)
        if (e == entry) return true;
    return false;
}

TEST(DialogModal, StaysInvisibleWhileTheGuardIsOneAndShowsOnceItIsPassed)
{
    ProbeDialog dlg;
    dlg.m_script.Add([&] {
        EXPECT_TRUE(Logged(dlg, "show requested")) << "DoModal did not ask to show the dialog";
        EXPECT_FALSE(dlg.IsWindowVisible());
        dlg.ShowWindow(SW_SHOW);
        dlg.SetWindowPos(nullptr, 0, 0, 0, 0, kNoChange | SWP_SHOWWINDOW);
        EXPECT_FALSE(dlg.IsWindowVisible());
    });
    dlg.m_script.Add([&] {
        EXPECT_FALSE(dlg.IsWindowVisible());
        ++dlg.m_nHideGuard;
        dlg.ShowWindow(SW_SHOW);
        EXPECT_TRUE(dlg.IsWindowVisible());
        dlg.ShowWindow(SW_HIDE);
        EXPECT_FALSE(dlg.IsWindowVisible());
        dlg.ShowWindow(SW_SHOW);
        EXPECT_TRUE(dlg.IsWindowVisible());
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.m_script.StepCount(), dlg.m_script.StepsRun());
}

TEST(DialogModal, EscapeAtTheFocusedControlEndsWithCancel)
{
    ProbeDialog dlg(2);
    HWND hFocus = nullptr;
    dlg.m_script.Add([&] {
        EXPECT_TRUE(dlg.IsWindowVisible());
        hFocus = ::GetFocus();
        ASSERT_NE(nullptr, hFocus);
        EXPECT_EQ(dlg.m_hWnd, ::GetParent(hFocus));
        PostKey(hFocus, VK_ESCAPE);
    });
    dlg.m_script.Add([] { ADD_FAILURE() << "the loop went on after Esc"; });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_FALSE(::IsWindow(hFocus));
}

TEST(DialogModal, CloseMessageEndsWithCancel)
{
    ProbeDialog dlg;
    dlg.m_script.Add([&] {
        dlg.PostMessage(WM_CLOSE);
        // The dialog manager answers WM_CLOSE with a posted IDCANCEL: give it time.
        dlg.m_script.ContinueAfter(300);
    });
    dlg.m_script.Add([] { ADD_FAILURE() << "the loop went on after WM_CLOSE"; });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

TEST(DialogModal, QuitMessageEndsTheLoopAndIsLeftForTheOuterLoop)
{
    ProbeDialog dlg;
    dlg.m_script.Add([&] {
        ::PostQuitMessage(42);
        // The quit comes only from a queue without posted messages.
        dlg.m_script.ContinueAfter(300);
    });
    dlg.m_script.Add([] { ADD_FAILURE() << "the loop went on after WM_QUIT"; });
    INT_PTR result = dlg.DoModal();
    EXPECT_NE(IDOK, result);
    EXPECT_NE(IDCANCEL, result);
    EXPECT_EQ(nullptr, dlg.m_hWnd);

    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(42u, msg.wParam);
}

TEST(DialogModal, EndingDuringInitialisationNeverShowsTheWindowNorRunsTheLoop)
{
    ProbeDialog dlg(2);
    dlg.m_nEndAtInit = IDABORT;
    dlg.m_traced.insert(WM_SHOWWINDOW);
    dlg.m_script.Add([] { ADD_FAILURE() << "the loop ran although the dialog had ended"; });
    EXPECT_EQ(IDABORT, dlg.DoModal());
    EXPECT_FALSE(Logged(dlg, "WindowProc " + std::to_string(WM_SHOWWINDOW)));
    EXPECT_FALSE(Logged(dlg, "show requested"));
}

TEST(DialogModal, DestroyRunsBeforeNcDestroyAndDetachesBothObjects)
{
    ProbeDialog dlg;
    HWND hLogo = nullptr;
    dlg.m_script.Add([&] {
        hLogo = dlg.m_logo.m_hWnd;
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    ASSERT_GE(dlg.m_log.size(), 2u);
    EXPECT_EQ("OnDestroy", dlg.m_log[dlg.m_log.size() - 2]);
    EXPECT_EQ("PostNcDestroy", dlg.m_log.back());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_logo.m_hWnd);
    EXPECT_NE(nullptr, hLogo);
    EXPECT_FALSE(::IsWindow(hLogo));
}

// A loop that missed the window's end would wait in GetMessage for good: a thread
// timer ends it with a failure instead.
void CALLBACK EndAStrandedLoop(HWND, UINT, UINT_PTR, DWORD)
{
    ADD_FAILURE() << "DoModal kept waiting after its window was destroyed";
    ::PostQuitMessage(0);
}

TEST(DialogModal, DestroyedWithoutEndDialogReturns)
{
    ProbeDialog dlg;
    HWND hWnd = nullptr;
    dlg.m_script.Add([&] {
        hWnd = dlg.m_hWnd;
        dlg.DestroyWindow();
    });
    UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, &EndAStrandedLoop);
    EXPECT_EQ(-1, dlg.DoModal());
    ::KillTimer(nullptr, guard);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ("PostNcDestroy", dlg.m_log.back());
    MSG msg;
    ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(DialogModal, ASecondDoModalOnARunningDialogIsRefused)
{
    ProbeDialog dlg;
    dlg.m_script.Add([&] {
        HWND hWnd = dlg.m_hWnd;
        EXPECT_EQ(-1, dlg.DoModal());
        EXPECT_EQ(hWnd, dlg.m_hWnd);
        EXPECT_EQ(1, std::count(dlg.m_log.begin(), dlg.m_log.end(), "OnInitDialog"));
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(dlg.m_script.StepCount(), dlg.m_script.StepsRun());
}

}  // namespace
