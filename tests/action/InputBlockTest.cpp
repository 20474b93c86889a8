#include "CInputBlock.h"

#include <gtest/gtest.h>

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

    const DWORD start = ::GetTickCount();
    while (!block.Replaced(hKeyboard, hMouse) && ::GetTickCount() - start < 3 * CInputBlock::kCheckPeriodMs) ::Sleep(10);
    ASSERT_TRUE(block.Replaced(hKeyboard, hMouse)) << "no new hooks within three checks";
    EXPECT_TRUE(block.IsActive());
    Key(kProbeKey, false);
    // Went down while the hooks were away: its release passes the new ones.
    Key(kMarkerKey, true);
    ASSERT_TRUE(WaitFor(Down, kMarkerKey, false)) << "stuck down";
    EXPECT_FALSE(Down(kProbeKey)) << "the new hooks let a key through";
}

}  // namespace
