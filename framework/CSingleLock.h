#pragma once
#include <windows.h>

// Holds a critical section for the life of the object. A plain Win32 critical
// section, not std::mutex: that one drags the C++ runtime's error machinery into
// a program that ships as one small exe.
class CSingleLock {
public:
    explicit CSingleLock(CRITICAL_SECTION* pcs) : m_pcs(pcs) { ::EnterCriticalSection(m_pcs); }
    ~CSingleLock() { ::LeaveCriticalSection(m_pcs); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CRITICAL_SECTION* m_pcs;
};
