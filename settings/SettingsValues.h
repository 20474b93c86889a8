#pragma once
// The eight settings as the file holds them, with the defaults a missing key gives.

struct SettingsValues {
    int nAccCtrl = 0;
    int nAccKey = 0;
    int nLock = 0;
    int nRunRun = 0;
    int nTimeSKM = 0;
    int nTimeSKMValue = 10;
    int nDesktop = 0;
    int nAutoRun = 0;
    // Only the file sets these; the settings dialog never writes them.
    int nIdleWarnSeconds = 10;
    // Minutes after which an input block ends by itself; 0: until Ctrl+Alt+Del.
    int nLockMinutes = 0;
    // Pixels at 96 DPI the pointer may drift while the monitor is off; 0: no dead zone.
    int nWakeDeadZone = 12;

    // The idle minutes the settings dialog accepts. A value outside, possible only by
    // editing the file, means no idle action: 0 would act on every tick and lock the
    // user out again after each Ctrl+Alt+Del, and from 71583 on the threshold wraps.
    static constexpr int kMinutesMin = 1;
    static constexpr int kMinutesMax = 10000;
    // The longest block that ends by itself: a day. The command line's /lock:N takes
    // the same range.
    static constexpr int kLockMinutesMax = 1440;
};

namespace SettingsKeys {
constexpr wchar_t kSection[] = L"Velodusk";
constexpr wchar_t kAccCtrl[] = L"AccCtrl";
constexpr wchar_t kAccKey[] = L"AccKey";
constexpr wchar_t kLock[] = L"Lock";
constexpr wchar_t kRunRun[] = L"RunRun";
constexpr wchar_t kTimeSKM[] = L"TimeSKM";
constexpr wchar_t kTimeSKMValue[] = L"TimeSKMValue";
constexpr wchar_t kDesktop[] = L"Desktop";
constexpr wchar_t kAutoRun[] = L"AutoRun";

// Every key with its field, in the order a first-time file lists them.
struct Key {
    const wchar_t* pszName;
    int SettingsValues::*pnValue;
};
constexpr Key kAll[] = {
    {kAccCtrl, &SettingsValues::nAccCtrl}, {kAccKey, &SettingsValues::nAccKey},
    {kLock, &SettingsValues::nLock},       {kRunRun, &SettingsValues::nRunRun},
    {kTimeSKM, &SettingsValues::nTimeSKM}, {kTimeSKMValue, &SettingsValues::nTimeSKMValue},
    {kDesktop, &SettingsValues::nDesktop}, {kAutoRun, &SettingsValues::nAutoRun},
};
constexpr int kCount = sizeof kAll / sizeof kAll[0];
// The keys up to RunRun: with run-once chosen its notice shows once they are written.
constexpr int kBeforeRunOnceNotice = 4;

constexpr wchar_t kIdleWarnSeconds[] = L"IdleWarnSeconds";
constexpr wchar_t kLockMinutes[] = L"LockMinutes";
constexpr wchar_t kWakeDeadZone[] = L"WakeDeadZone";
// Keys that only an edit of the file sets, read at start like the others; a value
// outside its bounds gives the default, as a missing key does.
struct FileOnlyKey {
    Key key;
    int nMin;
    int nMax;
};
constexpr FileOnlyKey kFileOnly[] = {
    // The warning never outlasts the shortest idle period.
    {{kIdleWarnSeconds, &SettingsValues::nIdleWarnSeconds}, 0, 60},
    {{kLockMinutes, &SettingsValues::nLockMinutes}, 0, SettingsValues::kLockMinutesMax},
    // A dead zone wider than a hand's deliberate push would keep the screen dark.
    {{kWakeDeadZone, &SettingsValues::nWakeDeadZone}, 0, 100},
};
}  // namespace SettingsKeys
