#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "CSettingsFile.h"
#include "SettingsValues.h"
#include "TempDir.h"

namespace {

using Lines = std::vector<std::string>;

// In the order the file lists them: AccCtrl, AccKey, Lock, RunRun, TimeSKM,
// TimeSKMValue, Desktop, AutoRun.
SettingsValues Sample() { return SettingsValues{1, 6, 0, 0, 1, 10, 1, 0}; }

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

long CountWithPrefix(const Lines& lines, const std::string& prefix)
{
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& l) { return Lower(l).compare(0, prefix.size(), Lower(prefix)) == 0; });
}

bool Contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool WinIniHasTheSection()
{
    wchar_t names[256] = {};
    return ::GetProfileStringW(SettingsKeys::kSection, nullptr, L"", names, 256) > 0;
}

TEST(SettingsFile, AFirstTimeFileHoldsTheSectionAndTheEightKeysInOrder)
{
    TempDir dir;
    std::wstring ini = dir.File(L"Velodusk.ini");
    CSettingsFile(ini).Write(Sample());
    EXPECT_EQ((Lines{"[Velodusk]", "AccCtrl=1", "AccKey=6", "Lock=0", "RunRun=0", "TimeSKM=1", "TimeSKMValue=10",
                     "Desktop=1", "AutoRun=0"}),
              TempDir::ReadLines(ini));
}

TEST(SettingsFile, RewritingReplacesEachValueInPlace)
{
    TempDir dir;
    std::wstring ini = dir.File(L"Velodusk.ini");
    CSettingsFile file(ini);
    file.Write(Sample());
    file.Write(SettingsValues{0, -1, -1, 1, 0, 10000, 0, -2147483647 - 1});
    EXPECT_EQ((Lines{"[Velodusk]", "AccCtrl=0", "AccKey=-1", "Lock=-1", "RunRun=1", "TimeSKM=0", "TimeSKMValue=10000",
                     "Desktop=0", "AutoRun=-2147483648"}),
              TempDir::ReadLines(ini));
    EXPECT_EQ(-1, file.GetInt(SettingsKeys::kLock, 0));
    EXPECT_EQ(10000, file.GetInt(SettingsKeys::kTimeSKMValue, 10));
}

TEST(SettingsFile, OtherKeysAndSectionsSurviveAWrite)
{
    TempDir dir;
    std::wstring ini = dir.File(L"Velodusk.ini");
    TempDir::Write(ini, "[Before]\r\nName=kept\r\n[velodusk]\r\nlock=2\r\nExtra=yes\r\n[After]\r\nOther=1\r\n");
    CSettingsFile(ini).Write(Sample());

    Lines lines = TempDir::ReadLines(ini);
    for (const char* kept : {"[Before]", "Name=kept", "Extra=yes", "[After]", "Other=1"})
        EXPECT_TRUE(Contains(lines, kept)) << kept;
    EXPECT_EQ(1, CountWithPrefix(lines, "[Velodusk]"));
    for (const char* key : {"AccCtrl=", "AccKey=", "Lock=", "RunRun=", "TimeSKM=", "TimeSKMValue=", "Desktop=",
                            "AutoRun="})
        EXPECT_EQ(1, CountWithPrefix(lines, key)) << key;
    EXPECT_EQ(0, CSettingsFile(ini).GetInt(SettingsKeys::kLock, 7));
    wchar_t text[32];
    ::GetPrivateProfileStringW(L"Before", L"Name", L"", text, 32, ini.c_str());
    EXPECT_STREQ(L"kept", text);
    ::GetPrivateProfileStringW(L"After", L"Other", L"", text, 32, ini.c_str());
    EXPECT_STREQ(L"1", text);
}

TEST(SettingsFile, AnEmptyPathNeitherReadsNorWritesWinIni)
{
    ::WriteProfileStringW(SettingsKeys::kSection, nullptr, nullptr);
    ASSERT_FALSE(WinIniHasTheSection());
    CSettingsFile none{CString()};
    none.Write(Sample());
    none.WriteInt(SettingsKeys::kLock, 2);
    EXPECT_FALSE(WinIniHasTheSection());

    ASSERT_TRUE(::WriteProfileStringW(SettingsKeys::kSection, SettingsKeys::kLock, L"2"));
    EXPECT_EQ(5, none.GetInt(SettingsKeys::kLock, 5));
    ::WriteProfileStringW(SettingsKeys::kSection, nullptr, nullptr);
}

TEST(SettingsFile, WritingIntoADirectoryOrAMissingOneFailsSilently)
{
    TempDir dir;
    std::wstring asDirectory = dir.File(L"Velodusk.ini");
    ASSERT_TRUE(::CreateDirectoryW(asDirectory.c_str(), nullptr));
    CSettingsFile(asDirectory).Write(Sample());
    EXPECT_TRUE(::GetFileAttributesW(asDirectory.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(10, CSettingsFile(asDirectory).GetInt(SettingsKeys::kTimeSKMValue, 10));

    std::wstring inMissing = dir.File(L"missing\\Velodusk.ini");
    CSettingsFile(inMissing).Write(Sample());
    EXPECT_FALSE(TempDir::Exists(dir.File(L"missing")));
}

TEST(SettingsFile, WritingIntoAReadOnlyDirectoryFailsSilently)
{
    TempDir dir;
    std::wstring sub = dir.File(L"ro");
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    ASSERT_TRUE(::SetFileAttributesW(sub.c_str(), FILE_ATTRIBUTE_READONLY));
    std::wstring probe = sub + L"\\probe";
    HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    const bool bBlocked = h == INVALID_HANDLE_VALUE;
    if (!bBlocked) {
        ::CloseHandle(h);
        ::DeleteFileW(probe.c_str());
    }
    std::wstring ini = sub + L"\\Velodusk.ini";
    CSettingsFile(ini).Write(Sample());
    // Where the attribute binds (not for root under Wine) nothing is written;
    // elsewhere the write goes through whole.
    EXPECT_EQ(!bBlocked, TempDir::Exists(ini));
    EXPECT_EQ(bBlocked ? 3 : Sample().nLock, CSettingsFile(ini).GetInt(SettingsKeys::kLock, 3));
}

TEST(SettingsFile, AReadOnlyFileIsLeftAsItWas)
{
    TempDir dir;
    std::wstring ini = dir.File(L"Velodusk.ini");
    const std::string original = "[Velodusk]\r\nLock=2\r\n";
    TempDir::Write(ini, original);
    ASSERT_TRUE(::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE h = ::CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool bBlocked = h == INVALID_HANDLE_VALUE;
    if (!bBlocked) ::CloseHandle(h);
    CSettingsFile(ini).Write(Sample());
    if (bBlocked) EXPECT_EQ(original, TempDir::Read(ini));
    else EXPECT_EQ(Sample().nAccKey, CSettingsFile(ini).GetInt(SettingsKeys::kAccKey, -5));
}

TEST(SettingsFile, AOneMegabyteFileKeepsItsContentAcrossAWrite)
{
    TempDir dir;
    std::wstring ini = dir.File(L"Velodusk.ini");
    std::string text = "[Filler]\r\n";
    int nKeys = 0;
    for (; text.size() < (1u << 20); ++nKeys) text += "Key" + std::to_string(nKeys) + "=" + std::string(40, 'x') + "\r\n";
    TempDir::Write(ini, text);
    CSettingsFile file(ini);
    file.Write(Sample());
    EXPECT_EQ(6, file.GetInt(SettingsKeys::kAccKey, 0));
    Lines lines = TempDir::ReadLines(ini);
    EXPECT_EQ(1 + nKeys + 9, static_cast<int>(lines.size()));
    EXPECT_EQ("Key" + std::to_string(nKeys - 1) + "=" + std::string(40, 'x'), lines[nKeys]);
}

}  // namespace
