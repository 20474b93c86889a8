#include "IniPath.h"

#include "CodePages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string IniFor(const std::string& modulePath, LeadBytePredicate isLeadByte = LeadByte936)
{
    std::string dir, name;
    SplitModulePath(modulePath, isLeadByte, dir, name);
    return IniPathFor(dir, name);
}

TEST(IniPath, ReplacesTheExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(IniFor("C:\\Apps\\Tool.exe"), "C:\\Apps\\Tool.ini");
    EXPECT_EQ(IniFor("C:\\Apps\\My.Tool.EXE"), "C:\\Apps\\My.Tool.ini");
    EXPECT_EQ(IniFor("C:\\My.Apps\\Tool.exe"), "C:\\My.Apps\\Tool.ini");
    EXPECT_EQ(IniFor("C:\\My.Apps\\Tool"), "C:\\My.Apps\\Tool.ini");
}

TEST(IniPath, NamesWithoutOrWithShortExtensions)
{
    EXPECT_EQ(IniFor("C:\\Apps\\Tool"), "C:\\Apps\\Tool.ini");
    EXPECT_EQ(IniFor("C:\\Apps\\Tool.ex"), "C:\\Apps\\Tool.ini");
    EXPECT_EQ(IniFor("C:\\Apps\\Tool."), "C:\\Apps\\Tool.ini");
    // Four characters go from the last dot, whatever follows them.
    EXPECT_EQ(IniFor("C:\\Apps\\Tool.exe2"), "C:\\Apps\\Tool2.ini");
    EXPECT_EQ(IniFor("C:\\Apps\\.exe"), "C:\\Apps\\.ini");
    EXPECT_EQ(IniFor("C:\\Apps\\"), "");
    EXPECT_EQ(IniFor(""), "");
}

TEST(IniPath, DoubleByteTrailBytesAreNotSeparators)
{
    // 0x81 0x5C is one code page 936 character whose trail byte is a backslash.
    const std::string dir = "C:\\\x81\x5C\\";
    std::string d, n;
    SplitModulePath(dir + "Tool.exe", LeadByte936, d, n);
    EXPECT_EQ(d, dir);
    EXPECT_EQ(n, "Tool.exe");
    SplitModulePath("C:\\Apps\\\x81\x5C" "Tool.exe", LeadByte936, d, n);
    EXPECT_EQ(d, "C:\\Apps\\");
    EXPECT_EQ(n, "\x81\x5CTool.exe");
    EXPECT_EQ(IniPathFor(d, n), "C:\\Apps\\\x81\x5CTool.ini");
}

TEST(IniPath, TheCodePageInForceDecidesWhatALeadByteIs)
{
    // Code page 1252 has no double-byte characters: 0xE9 is "é", and the backslash
    // after it is a separator.
    EXPECT_EQ(IniFor("C:\\x\\R\xE9sum\xE9.exe", LeadByte1252), "C:\\x\\R\xE9sum\xE9.ini");
    std::string d, n;
    SplitModulePath("C:\\x\\\xE9\\Tool.exe", LeadByte1252, d, n);
    EXPECT_EQ(d, "C:\\x\\\xE9\\");
    EXPECT_EQ(n, "Tool.exe");
    // The same bytes under 936 are one character with a backslash trail byte.
    SplitModulePath("C:\\x\\\xE9\\Tool.exe", LeadByte936, d, n);
    EXPECT_EQ(d, "C:\\x\\");
    // 932: 0x95 0x5C is one character ("表"); 0xA0 to 0xDF are single-byte katakana,
    // so the backslash after 0xB1 separates there but not under 936.
    SplitModulePath("C:\\\x95\x5C\\Tool.exe", LeadByte932, d, n);
    EXPECT_EQ(d, "C:\\\x95\x5C\\");
    SplitModulePath("C:\\a\\\xB1\\Tool.exe", LeadByte932, d, n);
    EXPECT_EQ(d, "C:\\a\\\xB1\\");
    SplitModulePath("C:\\a\\\xB1\\Tool.exe", LeadByte936, d, n);
    EXPECT_EQ(d, "C:\\a\\");
}

TEST(IniPath, LongPathsAreKeptWhole)
{
    std::string dir = "C:\\";
    while (dir.size() < 600) dir += "LongDirectoryName\\";
    EXPECT_EQ(IniFor(dir + "Velodusk.exe"), dir + "Velodusk.ini");
    // A path with no separator at all is a bare file name.
    EXPECT_EQ(IniFor("Velodusk.exe"), "Velodusk.ini");
}

}  // namespace
