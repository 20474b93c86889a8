#include "CDC.h"

#include <map>
#include <memory>

namespace {
thread_local std::map<HDC, std::unique_ptr<CDC>> t_tempDCs;
}

CDC* CDC::FromHandle(HDC hDC)
{
    if (!hDC) return nullptr;
    std::unique_ptr<CDC>& rTemp = t_tempDCs[hDC];
    if (!rTemp) {
        rTemp.reset(new CDC);
        rTemp->m_hDC = hDC;
    }
    return rTemp.get();
}

void CDC::DeleteTempObjects()
{
    t_tempDCs.clear();
}
