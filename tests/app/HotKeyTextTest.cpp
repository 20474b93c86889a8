#include "HotKeyText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

using namespace HotKeyText;

TEST(HotKeyText, KeyNamesAndVirtualKeys)
{
    const wchar_t* names[] = {L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12"};
    for (int i = 0; i < kKeyCount; ++i) {
        EXPECT_STREQ(KeyName(i), names[i]);
        EXPECT_EQ(VirtualKey(i), 0x75u + static_cast<unsigned>(i));
    }
    // Outside F6..F12 the key still registers, but has no name.
    for (int i : {-1, 7, 9, -100, 1 << 30}) EXPECT_STREQ(KeyName(i), L"") << i;
    EXPECT_EQ(VirtualKey(-1), 0x74u);  // F5
    EXPECT_EQ(VirtualKey(7), 0x7Cu);   // F13
    EXPECT_EQ(VirtualKey(9), 0x7Eu);   // F15
}

TEST(HotKeyText, HotKeyNameWithAndWithoutCtrl)
{
    EXPECT_EQ(HotKeyName(false, 0), L"F6");
    EXPECT_EQ(HotKeyName(true, 6), L"Ctrl + F12");
    EXPECT_EQ(HotKeyName(true, -1), L"Ctrl + ");
    EXPECT_EQ(HotKeyName(false, -1), L"");
    EXPECT_EQ(HotKeyName(true, 9), L"Ctrl + ");
}

TEST(HotKeyText, TipTail)
{
    EXPECT_EQ(TipTail(false, true, false, 0), L"F6)");
    EXPECT_EQ(TipTail(false, true, true, 6), L"Ctrl + F12)");
    // A taken combination: the tip names no key.
    EXPECT_EQ(TipTail(false, false, true, 6), L"Ctrl + )");
    EXPECT_EQ(TipTail(false, false, false, 3), L")");
    EXPECT_EQ(TipTail(false, true, false, 9), L")");
    // Run-once: the bare prefix, whatever else holds.
    EXPECT_EQ(TipTail(true, true, true, 6), L"");
    EXPECT_EQ(TipTail(true, false, false, 0), L"");
}

// The cut at every length around the capacity, with a surrogate pair (U+20000, a
// Chinese character outside the basic plane) at each position: the tip ends at the
// capacity or one unit before it, never inside the pair, and nothing is written past it.
TEST(HotKeyText, CopyTipKeepsSurrogatePairsWhole)
{
    for (std::size_t length = 0; length <= kTipCapacity + 2; ++length) {
        for (std::size_t pair = 0; pair + 1 < length; ++pair) {
            std::u16string tip(length, u'\u5B57');
            tip[pair] = 0xD840;
            tip[pair + 1] = 0xDC00;
            char16_t buffer[kTipCapacity + 8];
            std::fill(std::begin(buffer), std::end(buffer), u'x');
            CopyTip(tip.c_str(), buffer);
            const std::u16string got(buffer);
            const bool splits = length > kTipCapacity - 1 && pair == kTipCapacity - 2;
            const std::size_t want = length < kTipCapacity ? length : kTipCapacity - 1 - (splits ? 1 : 0);
            EXPECT_EQ(got, tip.substr(0, want)) << length << " " << pair;
            EXPECT_EQ(buffer[kTipCapacity], u'x');
        }
    }
    char16_t one[1] = {u'x'};
    CopyTip(u"abc", one, 1);
    EXPECT_EQ(one[0], 0);
}

}  // namespace
