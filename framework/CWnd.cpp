#include "CWnd.h"

#include <exception>
#include <map>
#include <memory>
#include <unordered_map>

#include "CDC.h"
#include "CFileException.h"
#include "CSingleLock.h"

IMPLEMENT_DYNAMIC(CWnd, CObject)

namespace {
// What the exception barrier keeps of an escaped exception's text for the trace.
constexpr int kEscapedCapacity = 128;

// Every attached window and its object. A handle not in here is not ours, whatever
// its GWLP_USERDATA holds: reflection probes arbitrary child windows.
struct HandleTable {
    HandleTable() { ::InitializeCriticalSection(&lock); }
    CRITICAL_SECTION lock;
    std::unordered_map<HWND, CWnd*> objects;
    // Windows whose object left while a later subclass sat over ours: our procedure
    // stays in that chain and passes their messages to the procedure it replaced.
    std::unordered_map<HWND, WNDPROC> orphans;
};

HandleTable& Handles()
{
    // Never destroyed: window objects may outlive static destruction order.
    static HandleTable* table = new HandleTable;
    return *table;
}

// Temporary wrappers for handles that have no object; one set per thread.
thread_local std::map<HWND, std::unique_ptr<CWnd>> t_tempWnds;
thread_local int t_nDispatchDepth = 0;
}

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // The object dies before its window: keep the window alive but unhooked.
        if (m_pfnSuper) UnsubclassWindow();
        else Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd) return nullptr;
    HandleTable& table = Handles();
    CSingleLock guard(&table.lock);
    auto it = table.objects.find(hWnd);
    return it == table.objects.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd) return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
    std::unique_ptr<CWnd>& rTemp = t_tempWnds[hWnd];
    if (!rTemp) {
        rTemp.reset(new CWnd);
        rTemp->m_hWnd = hWnd;  // not attached: the window knows nothing of it
    }
    return rTemp.get();
}

void CWnd::DeleteTempObjects()
{
    for (auto& entry : t_tempWnds) entry.second->m_hWnd = nullptr;
    t_tempWnds.clear();
    CDC::DeleteTempObjects();
}

void CWnd::CenterWindow()
{
    RECT rcArea;
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner)) ::GetWindowRect(hOwner, &rcArea);
    else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcArea, 0);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    int x = rcArea.left + (rcArea.right - rcArea.left - cx) / 2;
    int y = rcArea.top + (rcArea.bottom - rcArea.top - cy) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    HandleTable& table = Handles();
    CSingleLock guard(&table.lock);
    table.objects[hWnd] = this;
}

void CWnd::Detach()
{
    if (m_hWnd) {
        HandleTable& table = Handles();
        CSingleLock guard(&table.lock);
        auto it = table.objects.find(m_hWnd);
        if (it != table.objects.end() && it->second == this) table.objects.erase(it);
    }
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    Attach(hWnd);
    // The previous procedure is never NULL: a zero answer with an error set is a failure
    // (another process's window, say).
    ::SetLastError(ERROR_SUCCESS);
    LONG_PTR pfnPrevious = ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc));
    if (!pfnPrevious && ::GetLastError() != ERROR_SUCCESS) {
        Detach();
        return FALSE;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(pfnPrevious);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent ? SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID))) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd && m_pfnSuper) {
        // Restoring over a later subclass would cut it out of the chain.
        WNDPROC pfnNow = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
        if (pfnNow == &CWnd::StaticWndProc) {
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        } else {
            HandleTable& table = Handles();
            CSingleLock guard(&table.lock);
            table.orphans[hWnd] = m_pfnSuper;
        }
        m_pfnSuper = nullptr;
    }
    Detach();
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, rString.GetBuffer(n + 1), n + 1);
    rString.ReleaseBuffer();
}

int CWnd::MessageBox(const WCHAR* lpszText, UINT nIDCaption, UINT nType)
{
    return ::MessageBoxW(m_hWnd, lpszText, CUiText(nIDCaption), nType);
}

BOOL CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message < WM_CTLCOLORMSGBOX || message > WM_CTLCOLORSTATIC) return FALSE;
    CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (!pChild || pChild == this) return FALSE;
    // Through the child's own dispatch: its WindowProc sees the message, and Default()
    // in its handler refers to it. Unanswered, the reflected message comes back as 0.
    LRESULT result = pChild->Dispatch(WM_REFLECT_BASE + message, wParam, lParam);
    if (!result) return FALSE;
    *pResult = result;
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ReflectCtlColor(message, wParam, lParam, &result)) return result;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    CurrentMessage saved = m_current;
    m_current = {message, wParam, lParam};
    ++t_nDispatchDepth;
    ++m_nDispatchDepth;
    LRESULT result = 0;
    // Every dispatch is called from a system window procedure, and an exception must
    // never unwind through the system's frames: what a handler lets escape ends here,
    // and the message counts as handled with the answer 0.
    // The trace is written after the handler: OutputDebugString raises an exception
    // of its own, which has no place inside a C++ one being handled.
    // A copy of the text, cut to a fixed buffer: the exception that owns it is gone
    // by then, and a std::string would link the narrow string's code for this alone.
    char szEscaped[kEscapedCapacity] = "";
    bool bEscaped = true;
    try {
        result = WindowProc(message, wParam, lParam);
        bEscaped = false;
    } catch (CFileException* e) {
        lstrcpynA(szEscaped, "CFileException", kEscapedCapacity);
        e->Delete();
    } catch (const std::exception& e) {
        lstrcpynA(szEscaped, e.what(), kEscapedCapacity);
    } catch (...) {
        lstrcpynA(szEscaped, "unknown exception", kEscapedCapacity);
    }
    if (bEscaped) TraceEscaped(message, szEscaped);
    --m_nDispatchDepth;
    if (--t_nDispatchDepth == 0) DeleteTempObjects();
    m_current = saved;
    if (m_nDispatchDepth == 0 && m_bPostNcDestroyDue) {
        m_bPostNcDestroyDue = FALSE;
        PostNcDestroy();  // may delete this
    }
    return result;
}

void CWnd::EndAfterLastMessage()
{
    if (m_nDispatchDepth > 0) {
        m_bPostNcDestroyDue = TRUE;
        return;
    }
    PostNcDestroy();
}

void CWnd::TraceEscaped(UINT message, const char* pszWhat)
{
    // OutputDebugString works by raising an exception for a debugger to catch:
    // with none attached that costs a raise for nobody, and where Wine's 32-bit
    // side is emulated the raise from inside a window procedure has ended the
    // whole process.
    if (!::IsDebuggerPresent()) return;
    WCHAR szLine[256];
    ::wsprintfW(szLine, L"exception out of the handler of message 0x%04X: %.200hs\n", message, pszWhat);
    ::OutputDebugStringW(szLine);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd) {
        WNDPROC pfnSuper = nullptr;
        {
            HandleTable& table = Handles();
            CSingleLock guard(&table.lock);
            auto it = table.orphans.find(hWnd);
            if (it != table.orphans.end()) {
                pfnSuper = it->second;
                if (message == WM_NCDESTROY) table.orphans.erase(it);
            }
        }
        if (pfnSuper) return ::CallWindowProcW(pfnSuper, hWnd, message, wParam, lParam);
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    if (message != WM_NCDESTROY) return pWnd->Dispatch(message, wParam, lParam);

    // WM_NCDESTROY may arrive while an outer message of the same window is still being
    // handled (DestroyWindow from a handler): the object must survive until that returns.
    LRESULT result = pWnd->Dispatch(message, wParam, lParam);
    pWnd->UnsubclassWindow();
    {
        // No message follows this one: nothing is left to pass on.
        HandleTable& table = Handles();
        CSingleLock guard(&table.lock);
        table.orphans.erase(hWnd);
    }
    pWnd->EndAfterLastMessage();
    return result;
}
