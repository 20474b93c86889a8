#include "IntegerText.h"

namespace {
bool IsBlank(uint8_t c) { return c == ' ' || c == '\t'; }
}

bool IntegerText::Parse(const uint8_t* text, size_t size, int& value)
{
    size_t i = 0;
    while (i < size && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t firstDigit = i;
    long long magnitude = 0;
    while (i < size && text[i] >= '0' && text[i] <= '9') {
        magnitude = magnitude * 10 + (text[i++] - '0');
        if (magnitude > 2147483648LL) return false;
    }
    if (i == firstDigit) return false;
    while (i < size && IsBlank(text[i])) ++i;
    if (i != size) return false;
    if (!negative && magnitude > 2147483647LL) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}
