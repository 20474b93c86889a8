#include "IniPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string IniFor(const std::string& modulePath)
{
    std::string dir, name;
    SplitModulePath(modulePath, dir, name);
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
    SplitModulePath(dir + "Tool.exe", d, n);
    EXPECT_EQ(d, dir);
    EXPECT_EQ(n, "Tool.exe");
    SplitModulePath("C:\\Apps\\\x81\x5C" "Tool.exe", d, n);
    EXPECT_EQ(d, "C:\\Apps\\");
    EXPECT_EQ(n, "\x81\x5CTool.exe");
    EXPECT_EQ(IniPathFor(d, n), "C:\\Apps\\\x81\x5CTool.ini");
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
