#include "CLinkTarget.h"

#include <shellapi.h>

HINSTANCE CLinkTarget::OpenTarget()
{
    if (IsEmpty()) return nullptr;
    return ::ShellExecuteA(nullptr, "open", *this, nullptr, nullptr, SW_SHOWNORMAL);
}
