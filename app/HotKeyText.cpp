#include "HotKeyText.h"

namespace HotKeyText {

namespace {
const wchar_t* const kKeyNames[kKeyCount] = {L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12"};
constexpr wchar_t kCtrlPrefix[] = L"Ctrl + ";
constexpr wchar_t kTipSuffix[] = L")";
}

uint32_t VirtualKey(int keyIndex)
{
    return kVirtualKeyF6 + static_cast<uint32_t>(keyIndex);
}

const wchar_t* KeyName(int keyIndex)
{
    return keyIndex >= 0 && keyIndex < kKeyCount ? kKeyNames[keyIndex] : L"";
}

std::wstring HotKeyName(bool withCtrl, int keyIndex)
{
    return (withCtrl ? std::wstring(kCtrlPrefix) : std::wstring()) + KeyName(keyIndex);
}

std::wstring TipTail(bool runOnce, bool registered, bool withCtrl, int keyIndex)
{
    if (runOnce) return std::wstring();
    return HotKeyName(withCtrl, registered ? keyIndex : -1) + kTipSuffix;
}

}  // namespace HotKeyText
