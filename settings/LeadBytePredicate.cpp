#include "LeadBytePredicate.h"

#include <windows.h>

bool IsAnsiLeadByte(unsigned char ch)
{
    return ::IsDBCSLeadByte(ch) != FALSE;
}
