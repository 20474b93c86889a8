#pragma once
// Names of the action hot key and the tray tip that shows it.
#include <cstdint>
#include <string>


namespace HotKeyText {

constexpr uint32_t kVirtualKeyF6 = 0x75;   // VK_F6
constexpr int kKeyCount = 7;               // F6 to F12
// The tray record's tip holds 64 UTF-16 units including the terminating zero (the
// W record of the oldest layout, which every shell takes).
constexpr std::size_t kTipCapacity = 64;

// The key index is not range-checked: 7 is F13, -1 is F5.
uint32_t VirtualKey(int keyIndex);
// "F6" to "F12" for 0 to 6; empty for every other index.
const wchar_t* KeyName(int keyIndex);
// "Ctrl + " before the key name when the hot key takes Ctrl.
std::wstring HotKeyName(bool withCtrl, int keyIndex);

// What follows the tip's prefix (a string of the user-interface language): unless
// in run-once mode, the hot key's name (or no key when registering failed) and the
// closing parenthesis.
std::wstring TipTail(bool runOnce, bool registered, bool withCtrl, int keyIndex);

// Copies a terminated UTF-16 tip into the tray record's buffer, at most capacity
// units with the terminator, never splitting a surrogate pair.
template <class Unit>
void CopyTip(const Unit* tip, Unit* buffer, std::size_t capacity = kTipCapacity)
{
    if (capacity == 0) return;
    std::size_t n = 0;
    while (n < capacity - 1 && tip[n]) ++n;
    // A high surrogate at the cut would be left without its pair.
    if (n > 0 && tip[n] && (static_cast<uint32_t>(tip[n - 1]) & 0xFC00) == 0xD800) --n;
    for (std::size_t i = 0; i < n; ++i) buffer[i] = tip[i];
    buffer[n] = 0;
}

}  // namespace HotKeyText
