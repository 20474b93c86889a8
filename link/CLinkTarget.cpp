#include "CLinkTarget.h"

#include <shellapi.h>

HINSTANCE CLinkTarget::OpenTarget()
{
    if (IsEmpty()) return nullptr;
    return ::ShellExecuteW(nullptr, L"open", *this, nullptr, nullptr, SW_SHOWNORMAL);
}
