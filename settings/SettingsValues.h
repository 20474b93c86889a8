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
};

namespace SettingsKeys {
constexpr char kSection[] = "Velodusk";
constexpr char kAccCtrl[] = "AccCtrl";
constexpr char kAccKey[] = "AccKey";
constexpr char kLock[] = "Lock";
constexpr char kRunRun[] = "RunRun";
constexpr char kTimeSKM[] = "TimeSKM";
constexpr char kTimeSKMValue[] = "TimeSKMValue";
constexpr char kDesktop[] = "Desktop";
constexpr char kAutoRun[] = "AutoRun";
}  // namespace SettingsKeys
