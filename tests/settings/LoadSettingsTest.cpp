#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

#include "CMonitorToolDlg.h"
#include "SettingsValues.h"
#include "TempDir.h"

namespace {

const wchar_t kExe[] = L"Probe.exe";
const wchar_t kIni[] = L"Probe.ini";

struct Loaded {
    SettingsValues values;
    std::wstring iniPath;
};

// What the dialog holds after loading, with the members it never loads at their defaults.
Loaded LoadFrom(const std::wstring& directory, const std::wstring& fileName)
{
    CMonitorToolDlg dlg;
    dlg.LoadSettings(CString(directory), CString(fileName));
    return Loaded{dlg.GetSettings(), dlg.GetIniPath().Str()};
}

int ProfileInt(const wchar_t* key, int nDefault, const std::wstring& path)
{
    return static_cast<int>(::GetPrivateProfileIntW(SettingsKeys::kSection, key, nDefault, path.c_str()));
}

// The profile function's own answers for the six loaded keys of a file.
SettingsValues ProfileAnswers(const std::wstring& path)
{
    SettingsValues d;
    SettingsValues v;
    v.nAccCtrl = ProfileInt(SettingsKeys::kAccCtrl, d.nAccCtrl, path);
    v.nAccKey = ProfileInt(SettingsKeys::kAccKey, d.nAccKey, path);
    v.nLock = ProfileInt(SettingsKeys::kLock, d.nLock, path);
    v.nRunRun = ProfileInt(SettingsKeys::kRunRun, d.nRunRun, path);
    v.nTimeSKM = ProfileInt(SettingsKeys::kTimeSKM, d.nTimeSKM, path);
    v.nTimeSKMValue = ProfileInt(SettingsKeys::kTimeSKMValue, d.nTimeSKMValue, path);
    return v;
}

void ExpectValues(const SettingsValues& expected, const SettingsValues& actual)
{
    EXPECT_EQ(expected.nAccCtrl, actual.nAccCtrl);
    EXPECT_EQ(expected.nAccKey, actual.nAccKey);
    EXPECT_EQ(expected.nLock, actual.nLock);
    EXPECT_EQ(expected.nRunRun, actual.nRunRun);
    EXPECT_EQ(expected.nTimeSKM, actual.nTimeSKM);
    EXPECT_EQ(expected.nTimeSKMValue, actual.nTimeSKMValue);
}

TEST(LoadSettings, NoFileGivesTheDefaultsAndCreatesNothing)
{
    TempDir dir;
    Loaded loaded = LoadFrom(dir.Path(), kExe);
    EXPECT_EQ(dir.File(kIni), loaded.iniPath);
    // AccCtrl, AccKey, Lock, RunRun, TimeSKM, TimeSKMValue.
    ExpectValues(SettingsValues{0, 0, 0, 0, 0, 10}, loaded.values);
    EXPECT_FALSE(TempDir::Exists(loaded.iniPath));
}

TEST(LoadSettings, AFileWithOnlyTheLockKeyChangesOnlyTheLockMode)
{
    TempDir dir;
    TempDir::Write(dir.File(kIni), "[Velodusk]\r\nLock=2\r\n");
    SettingsValues expected;
    expected.nLock = 2;
    ExpectValues(expected, LoadFrom(dir.Path(), kExe).values);
}

TEST(LoadSettings, EachKeyLandsInItsOwnMember)
{
    TempDir dir;
    TempDir::Write(dir.File(kIni),
                   "[Velodusk]\r\nTimeSKMValue=8\r\nTimeSKM=7\r\nRunRun=6\r\nLock=5\r\nAccKey=4\r\nAccCtrl=3\r\n");
    ExpectValues(SettingsValues{3, 4, 5, 6, 7, 8}, LoadFrom(dir.Path(), kExe).values);
}

TEST(LoadSettings, SectionAndKeysInOtherLetterCaseAreFound)
{
    TempDir dir;
    TempDir::Write(dir.File(kIni), "[VELODUSK]\r\nlock=2\r\nACCKEY=5\r\ntimeskmvalue=30\r\nAcCcTrL=1\r\n");
    SettingsValues expected;
    expected.nLock = 2;
    expected.nAccKey = 5;
    expected.nTimeSKMValue = 30;
    expected.nAccCtrl = 1;
    ExpectValues(expected, LoadFrom(dir.Path(), kExe).values);
}

TEST(LoadSettings, ValuesOutOfRangeAreTakenAsTheyStand)
{
    TempDir dir;
    TempDir::Write(dir.File(kIni), "[Velodusk]\r\nAccKey=9\r\nTimeSKMValue=0\r\nLock=-1\r\nRunRun=-7\r\n");
    SettingsValues expected;
    expected.nAccKey = 9;
    expected.nTimeSKMValue = 0;
    expected.nLock = -1;
    expected.nRunRun = -7;
    ExpectValues(expected, LoadFrom(dir.Path(), kExe).values);
}

TEST(LoadSettings, TextThatIsNoPlainNumberConvertsAsTheProfileFunctionSays)
{
    TempDir dir;
    std::wstring ini = dir.File(kIni);
    TempDir::Write(ini,
                   "[Velodusk]\r\nAccCtrl=yes\r\nAccKey=99999999999\r\nLock=12abc\r\nRunRun= 1\r\n"
                   "TimeSKM=\r\nTimeSKMValue=-2147483649\r\n");
    SettingsValues answers = ProfileAnswers(ini);
    ExpectValues(answers, LoadFrom(dir.Path(), kExe).values);
    // Where the rule is not in doubt.
    EXPECT_EQ(12, answers.nLock);
    EXPECT_EQ(0, answers.nAccCtrl);
}

TEST(LoadSettings, NoFileNameReadsNothingEvenWhenWinIniHasTheSection)
{
    ASSERT_TRUE(::WriteProfileStringW(SettingsKeys::kSection, SettingsKeys::kLock, L"2"));
    ASSERT_EQ(2, static_cast<int>(::GetProfileIntW(SettingsKeys::kSection, SettingsKeys::kLock, 0)));
    Loaded loaded = LoadFrom(L"", L"");
    ::WriteProfileStringW(SettingsKeys::kSection, nullptr, nullptr);
    EXPECT_EQ(L"", loaded.iniPath);
    ExpectValues(SettingsValues(), loaded.values);
}

TEST(LoadSettings, BinaryJunkLoadsWithoutHarmAndIsLeftAsItWas)
{
    TempDir dir;
    std::wstring ini = dir.File(kIni);
    std::string junk;
    std::uint32_t x = 0x2545F491u;
    for (int i = 0; i < 8192; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        junk += static_cast<char>(x & 0xFF);
        if (i % 700 == 0) junk += "\r\n[Velodusk]\r\nLock=\x81";
    }
    TempDir::Write(ini, junk);
    Loaded loaded = LoadFrom(dir.Path(), kExe);
    ExpectValues(ProfileAnswers(ini), loaded.values);
    EXPECT_EQ(junk, TempDir::Read(ini));
}

TEST(LoadSettings, AOneMegabyteFileIsReadToItsEnd)
{
    TempDir dir;
    std::wstring ini = dir.File(kIni);
    std::string text = "[Filler]\r\n";
    for (int i = 0; text.size() < (1u << 20); ++i) text += "Key" + std::to_string(i) + "=" + std::string(40, 'x') + "\r\n";
    text += "[Velodusk]\r\nLock=2\r\nTimeSKMValue=25\r\n";
    TempDir::Write(ini, text);
    SettingsValues expected;
    expected.nLock = 2;
    expected.nTimeSKMValue = 25;
    ExpectValues(expected, LoadFrom(dir.Path(), kExe).values);
}

TEST(LoadSettings, ADirectoryInPlaceOfTheFileGivesTheDefaults)
{
    TempDir dir;
    ASSERT_TRUE(::CreateDirectoryW(dir.File(kIni).c_str(), nullptr));
    ExpectValues(SettingsValues(), LoadFrom(dir.Path(), kExe).values);
}

}  // namespace
