#include "CInputBlock.h"

#include <gtest/gtest.h>

#include "CCatchWindow.h"
#include "CLockAction.h"
#include "CUiText.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "Resource.h"

namespace {

// Input injected with SendInput passes the low-level hooks as real input does. The
// system handles it in order, so once a later event has arrived, an earlier one has
// been either let through or swallowed.
void Key(WORD vk, bool up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof(in));
}

bool Down(WORD vk)
{
    return (::GetAsyncKeyState(vk) & 0x8000) != 0;
}

bool WaitFor(bool (*check)(WORD), WORD vk, bool want)
{
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 20000;) {
        if (check(vk) == want) return true;
        ::Sleep(10);
    }
    return false;
}

// Reads which hooks the block has in force.
class WatchedBlock : public CInputBlock {
public:
    using CInputBlock::CInputBlock;
    bool Replaced(HHOOK hKeyboard, HHOOK hMouse) const
    {
        return m_hKeyboard && m_hMouse && m_hKeyboard != hKeyboard && m_hMouse != hMouse;
    }
    HHOOK m_keyboard() const { return m_hKeyboard; }
    HHOOK m_mouse() const { return m_hMouse; }
};

const WORD kProbeKey = VK_F20;
const WORD kMarkerKey = VK_F21;

class InputBlockTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        block.Lift();
        Key(kProbeKey, true);
        Key(kMarkerKey, true);
        WaitFor(Down, kMarkerKey, false);
    }
    WatchedBlock block;
};

TEST_F(InputBlockTest, SwallowsKeysUntilTheDesktopSwitchLiftsIt)
{
    ASSERT_TRUE(block.Begin());
    EXPECT_TRUE(block.IsActive());
    EXPECT_TRUE(block.Begin()) << "a second block adds nothing";
    Key(kProbeKey, false);

    block.OnDesktopSwitch();
    for (DWORD start = ::GetTickCount(); block.IsActive() && ::GetTickCount() - start < 20000;) ::Sleep(10);
    EXPECT_FALSE(block.IsActive());
    Key(kMarkerKey, false);
    ASSERT_TRUE(WaitFor(Down, kMarkerKey, true)) << "input passes again after the switch";
    EXPECT_FALSE(Down(kProbeKey)) << "the key pressed during the block was swallowed";
}

TEST_F(InputBlockTest, AKeyHeldWhenTheBlockBeginsCanGoUp)
{
    Key(kProbeKey, false);
    ASSERT_TRUE(WaitFor(Down, kProbeKey, true));
    ASSERT_TRUE(block.Begin());
    Key(kProbeKey, true);
    EXPECT_TRUE(WaitFor(Down, kProbeKey, false)) << "stuck down";
    // Pressed again during the block: swallowed.
    Key(kProbeKey, false);
    block.Lift();
    EXPECT_FALSE(block.IsActive());
    Key(kMarkerKey, false);
    ASSERT_TRUE(WaitFor(Down, kMarkerKey, true));
    EXPECT_FALSE(Down(kProbeKey));
}

TEST_F(InputBlockTest, HooksTheSystemDropsAreInstalledAgain)
{
    ASSERT_TRUE(block.Begin());
    const HHOOK hKeyboard = block.m_keyboard(), hMouse = block.m_mouse();
    // What the system does to hooks whose callback missed LowLevelHooksTimeout.
    ASSERT_TRUE(::UnhookWindowsHookEx(hKeyboard));
    ASSERT_TRUE(::UnhookWindowsHookEx(hMouse));
    Key(kMarkerKey, false);
    ASSERT_TRUE(WaitFor(Down, kMarkerKey, true)) << "input passes the dropped hooks";

    // The same bound as every other wait here: a loaded machine delays the hook
    // thread's timer by seconds under Wine, and only the replacement itself matters.
    const DWORD start = ::GetTickCount();
    while (!block.Replaced(hKeyboard, hMouse) && ::GetTickCount() - start < 20000) ::Sleep(10);
    ASSERT_TRUE(block.Replaced(hKeyboard, hMouse)) << "no new hooks within 20 s";
    EXPECT_TRUE(block.IsActive());
    Key(kProbeKey, false);
    // Went down while the hooks were away: its release passes the new ones.
    Key(kMarkerKey, true);
    ASSERT_TRUE(WaitFor(Down, kMarkerKey, false)) << "stuck down";
    EXPECT_FALSE(Down(kProbeKey)) << "the new hooks let a key through";
}

// Stand-ins for the system functions that block: BlockInput answers as s_bGrant
// says and counts its calls; the refused hook installer fails as the system may.
BOOL s_bGrant = FALSE;
int s_nBlockCalls = 0;
int s_nUnblockCalls = 0;
const DWORD kBlockInputError = ERROR_ACCESS_DENIED;
const DWORD kHookError = ERROR_NOT_ENOUGH_MEMORY;

BOOL WINAPI StandInBlockInput(BOOL fBlockIt)
{
    ++(fBlockIt ? s_nBlockCalls : s_nUnblockCalls);
    if (fBlockIt && !s_bGrant) ::SetLastError(kBlockInputError);
    return !fBlockIt || s_bGrant;
}

HHOOK WINAPI RefusedHook(int, HOOKPROC, HINSTANCE, DWORD)
{
    ::SetLastError(kHookError);
    return nullptr;
}

const CInputBlock::Blockers kNothingTakes = {StandInBlockInput, RefusedHook};
const CInputBlock::Blockers kHooksTake = {StandInBlockInput, ::SetWindowsHookExW};

HWND CatchWindow()
{
    HWND hWnd = ::FindWindowW(CCatchWindow::kClassName, nullptr);
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    return dwProcess == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd) ? hWnd : nullptr;
}

TEST_F(InputBlockTest, BlockInputIsAskedOnEveryBlockAndTheWindowCoversEitherWay)
{
    WatchedBlock asked(kNothingTakes);
    s_nBlockCalls = s_nUnblockCalls = 0;
    s_bGrant = TRUE;
    ASSERT_TRUE(asked.Begin());
    EXPECT_FALSE(asked.m_keyboard() || asked.m_mouse()) << "hooks on top of BlockInput";
    const HWND hCatch = CatchWindow();
    ASSERT_TRUE(hCatch) << "no window over the screen where BlockInput blocks";
    RECT rc;
    ::GetWindowRect(hCatch, &rc);
    EXPECT_EQ(::GetSystemMetrics(SM_CXVIRTUALSCREEN), rc.right - rc.left);
    EXPECT_EQ(::GetSystemMetrics(SM_CYVIRTUALSCREEN), rc.bottom - rc.top);
    asked.Lift();
    EXPECT_EQ(1, s_nUnblockCalls) << "the block's thread ends what it began";
    EXPECT_FALSE(CatchWindow());

    // Granted once, refused now: nothing blocks.
    s_bGrant = FALSE;
    EXPECT_FALSE(asked.Begin());
    EXPECT_EQ(2, s_nBlockCalls);
    EXPECT_EQ(kBlockInputError, asked.GetSystemError());
    EXPECT_EQ(kHookError, asked.GetHookError());
    EXPECT_FALSE(asked.IsActive());
    EXPECT_FALSE(CatchWindow());
}

// The program's main window, counting the monitor's power-offs it is sent.
class PowerWatch : public CWnd {
public:
    int m_nOffs = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MONITORPOWER) ++m_nOffs;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Read and closed from the box's own loop, which runs this thread's timers.
CUiText s_boxText;
int s_nBoxes = 0;

BOOL CALLBACK CloseNoticeBox(HWND hWnd, LPARAM)
{
    WCHAR szClass[16] = L"", szCaption[32] = L"";
    ::GetClassNameW(hWnd, szClass, 16);
    ::GetWindowTextW(hWnd, szCaption, 32);
    if (lstrcmpW(szClass, L"#32770") != 0 || lstrcmpW(szCaption, CUiText(IDS_NOTICE)) != 0) return TRUE;
    WCHAR szText[CUiText::kCapacity] = L"";
    ::GetDlgItemTextW(hWnd, 0xFFFF, szText, CUiText::kCapacity);  // the box's text control
    s_boxText = CUiText();
    s_boxText.Append(szText);
    ++s_nBoxes;
    ::SendMessageW(hWnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK LookForBox(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseNoticeBox, 0);
}

TEST(LockAction, ARefusedBlockIsToldAndLeavesTheMonitorOn)
{
    CUiText systemReason, hookReason, told;
    systemReason.AppendSystemMessage(kBlockInputError);
    hookReason.AppendSystemMessage(kHookError);
    told.Format(IDS_BLOCK_REFUSED, static_cast<const WCHAR*>(systemReason), static_cast<const WCHAR*>(hookReason));
    ASSERT_NE(told.GetLength(), 0);

    CWinApp app;
    PowerWatch mainWnd;
    ASSERT_TRUE(mainWnd.SubclassWindow(
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)));
    app.m_pMainWnd = &mainWnd;
    const UINT_PTR uTimer = ::SetTimer(nullptr, 0, 50, LookForBox);
    s_bGrant = FALSE;
    const struct {
        int nMode;
        const CInputBlock::Blockers& blockers;
        int nBoxes, nOffs;
    } cases[] = {
        {CLockAction::kMonitorOffAndBlock, kNothingTakes, 1, 0},
        {CLockAction::kBlock, kNothingTakes, 1, 0},
        // The box finder finds nothing where the hooks take, and the monitor goes off.
        {CLockAction::kMonitorOffAndBlock, kHooksTake, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.nMode << (c.nBoxes ? ", nothing takes" : ", hooks take"));
        s_nBoxes = mainWnd.m_nOffs = 0;
        s_boxText = CUiText();
        CLockAction action(c.blockers);
        action.Act(c.nMode);
        EXPECT_EQ(c.nBoxes, s_nBoxes);
        if (c.nBoxes) {
            EXPECT_STREQ(static_cast<const WCHAR*>(told), static_cast<const WCHAR*>(s_boxText));
        }
        EXPECT_EQ(c.nOffs, mainWnd.m_nOffs);
        EXPECT_EQ(c.nBoxes == 0, CatchWindow() != nullptr);
        action.Lift();
    }
    ::KillTimer(nullptr, uTimer);
    app.m_pMainWnd = nullptr;
    mainWnd.DestroyWindow();
}

}  // namespace
