#pragma once
#include <stddef.h>
#include <stdint.h>

// The integers a dialog's edit accepts: blanks, an optional sign, one or more decimal
// digits, blanks. A value beyond 32 bits is refused rather than wrapped.
namespace IntegerText {
bool Parse(const uint8_t* text, size_t size, int& value);
}
