#include "LinkHost.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include "ImportHook.h"
#include "Resource.h"

namespace {
constexpr UINT kRunBody = WM_APP + 0x210;

decltype(&::MessageBeep) g_realBeep;
decltype(&::ShellExecuteW) g_realShell;
decltype(&::LoadStringW) g_realLoadString;
decltype(&::LoadLibraryW) g_realLoadLibrary;

BOOL WINAPI CountBeep(UINT uType)
{
    ++Calls().nBeeps;
    return g_realBeep(uType);
}

HINSTANCE WINAPI CountShell(HWND hWnd, LPCWSTR verb, LPCWSTR file, LPCWSTR params, LPCWSTR dir, INT nShow)
{
    Calls().opened.push_back(Narrow(verb ? verb : L"") + "|" + Narrow(file ? file : L""));
    return g_realShell(hWnd, verb, file, params, dir, nShow);
}

int WINAPI CountLoadString(HINSTANCE hInstance, UINT uID, LPWSTR buffer, int cchBufferMax)
{
    ++Calls().nLoadStrings;
    return g_realLoadString(hInstance, uID, buffer, cchBufferMax);
}

HMODULE WINAPI CountLoadLibrary(LPCWSTR name)
{
    Calls().libraries.push_back(Narrow(name ? name : L""));
    return g_realLoadLibrary(name);
}

template <class F>
void Hook(const char* dll, const char* func, F replacement, F& real)
{
    if (!real) real = reinterpret_cast<F>(HookImport(dll, func, reinterpret_cast<void*>(replacement)));
    ASSERT_NE(nullptr, real) << dll << "!" << func;
}

bool Near(COLORREF a, COLORREF b)
{
    const int kTolerance = 48;  // antialiased glyph cores stay this close to the text colour
    return abs(GetRValue(a) - GetRValue(b)) <= kTolerance && abs(GetGValue(a) - GetGValue(b)) <= kTolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= kTolerance;
}
}

LinkCalls& Calls()
{
    static LinkCalls calls;
    return calls;
}

LinkHost::LinkHost() : CDialog(IDD_ABOUTBOX) {}

HWND LinkHost::Child(int nIndex) const
{
    HWND hChild = ::GetWindow(m_hWnd, GW_CHILD);
    while (hChild && nIndex-- > 0) hChild = ::GetWindow(hChild, GW_HWNDNEXT);
    return hChild;
}

BOOL LinkHost::OnInitDialog()
{
    CDialog::OnInitDialog();
    PostMessage(kRunBody);
    return TRUE;
}

LRESULT LinkHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kRunBody) return CDialog::WindowProc(message, wParam, lParam);
    ::UpdateWindow(m_hWnd);
    m_body(*this);
    EndDialog(IDOK);
    return 0;
}

void RunInDialog(std::function<void(LinkHost&)> body)
{
    Hook("user32.dll", "MessageBeep", &CountBeep, g_realBeep);
    Hook("shell32.dll", "ShellExecuteW", &CountShell, g_realShell);
    Hook("user32.dll", "LoadStringW", &CountLoadString, g_realLoadString);
    Hook("kernel32.dll", "LoadLibraryW", &CountLoadLibrary, g_realLoadLibrary);
    LinkHost dlg;
    dlg.m_body = std::move(body);
    EXPECT_EQ(IDOK, dlg.DoModal());
}

bool PumpUntil(const std::function<bool()>& done, DWORD nTimeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= nTimeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, nTimeoutMs - elapsed, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return true;
}

Ink InkOf(HWND hCtrl)
{
    HWND hParent = ::GetParent(hCtrl);
    ::UpdateWindow(hParent);
    ::UpdateWindow(hCtrl);
    RECT rect;
    ::GetWindowRect(hCtrl, &rect);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rect), 2);
    int cx = rect.right - rect.left, cy = rect.bottom - rect.top;

    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HDC hScreen = ::GetDC(hParent);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateDIBSection(hMem, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    Ink ink;
    const DWORD* px = static_cast<const DWORD*>(pBits);
    for (int i = 0; px && i < cx * cy; ++i) {
        COLORREF c = RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF);
        ink.nNormal += Near(c, CStaticLink::s_crNormal);
        ink.nHover += Near(c, CStaticLink::s_crHover);
        ink.nVisited += Near(c, CStaticLink::s_crVisited);
    }
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(hParent, hScreen);
    return ink;
}

std::string Narrow(const std::wstring& text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    if (n) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring Wide(const std::string& text)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring s(static_cast<size_t>(n), L'\0');
    if (n) ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &s[0], n);
    return s;
}

std::string ModuleDirectory()
{
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    return s.substr(0, s.rfind('\\') + 1);
}
