#pragma once
#include <windows.h>

// Owns one handle that pfnRelease frees: freed by Release or with the object.
template <typename THandle, BOOL(WINAPI* pfnRelease)(THandle)>
class CHandleOwner {
public:
    CHandleOwner() = default;
    ~CHandleOwner() { Release(); }
    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;

    THandle GetSafeHandle() const { return m_handle; }
    BOOL Release()
    {
        THandle handle = m_handle;
        m_handle = nullptr;
        return handle ? pfnRelease(handle) : FALSE;
    }

protected:
    // Takes a handle just made; FALSE (and nothing to free) when making it failed.
    BOOL Own(THandle handle)
    {
        m_handle = handle;
        return handle != nullptr;
    }
    BOOL IsOwning() const { return m_handle != nullptr; }

private:
    THandle m_handle = nullptr;
};
