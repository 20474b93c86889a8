#include "HotKeyText.h"

#include "CodePages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace HotKeyText;

TEST(HotKeyText, KeyNamesAndVirtualKeys)
{
    const char* names[] = {"F6", "F7", "F8", "F9", "F10", "F11", "F12"};
    for (int i = 0; i < kKeyCount; ++i) {
        EXPECT_STREQ(KeyName(i), names[i]);
        EXPECT_EQ(VirtualKey(i), 0x75u + static_cast<unsigned>(i));
    }
    // Outside F6..F12 the key still registers, but has no name.
    for (int i : {-1, 7, 9, -100, 1 << 30}) EXPECT_STREQ(KeyName(i), "") << i;
    EXPECT_EQ(VirtualKey(-1), 0x74u);  // F5
    EXPECT_EQ(VirtualKey(7), 0x7Cu);   // F13
    EXPECT_EQ(VirtualKey(9), 0x7Eu);   // F15
}

TEST(HotKeyText, HotKeyNameWithAndWithoutCtrl)
{
    EXPECT_EQ(HotKeyName(false, 0), "F6");
    EXPECT_EQ(HotKeyName(true, 6), "Ctrl + F12");
    EXPECT_EQ(HotKeyName(true, -1), "Ctrl + ");
    EXPECT_EQ(HotKeyName(false, -1), "");
    EXPECT_EQ(HotKeyName(true, 9), "Ctrl + ");
}

TEST(HotKeyText, TipText)
{
    const std::string prefix = "双击执行您设定的功能(热键：";
    EXPECT_EQ(kTipPrefix, prefix);
    EXPECT_EQ(TipText(false, true, false, 0), prefix + "F6)");
    EXPECT_EQ(TipText(false, true, true, 6), prefix + "Ctrl + F12)");
    // A taken combination: the tip names no key.
    EXPECT_EQ(TipText(false, false, true, 6), prefix + "Ctrl + )");
    EXPECT_EQ(TipText(false, false, false, 3), prefix + ")");
    EXPECT_EQ(TipText(false, true, false, 9), prefix + ")");
    // Run-once: the bare prefix, whatever else holds.
    EXPECT_EQ(TipText(true, true, true, 6), prefix);
    EXPECT_EQ(TipText(true, false, false, 0), prefix);
}

TEST(HotKeyText, CopyTipTerminatesAndKeepsDoubleByteCharactersWhole)
{
    char buffer[kTipCapacity + 8];
    std::memset(buffer, 'x', sizeof buffer);
    CopyTip("short", LeadByte936, buffer);
    EXPECT_STREQ(buffer, "short");

    std::memset(buffer, 'x', sizeof buffer);
    CopyTip(std::string(200, 'a'), LeadByte936, buffer);
    EXPECT_EQ(std::strlen(buffer), kTipCapacity - 1);
    EXPECT_EQ(buffer[kTipCapacity], 'x');  // nothing written past the record's field

    // 62 single bytes then a double-byte character: it does not fit in 63 and is dropped whole.
    std::string tip(62, 'a');
    tip += "\xB0\xA1";
    CopyTip(tip, LeadByte936, buffer);
    EXPECT_EQ(std::string(buffer), std::string(62, 'a'));

    CopyTip("abc", LeadByte936, buffer, 1);
    EXPECT_STREQ(buffer, "");
}

}  // namespace
