// The dialog templates of each language at 96, 120, 144 and 192 DPI: every control is created
// and every text fits its control, measured with the control's own font. The
// test runs itself once per DPI with the prefix's LogPixels set, since the
// system DPI is fixed when a process starts; the value is put back after.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Resource.h"

namespace {

const char kDpiKey[] = "Control Panel\\Desktop";
const char kDpiValue[] = "LogPixels";
const char kChildFlag[] = "--at-dpi=";
const int kDpis[] = {96, 120, 144, 192};
const LANGID kLanguages[] = {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)};
int g_nWantDpi = 0;

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring Text(HWND hWnd)
{
    WCHAR sz[256] = L"";
    ::GetWindowTextW(hWnd, sz, 256);
    return sz;
}

// For the messages: UTF-8.
std::string Utf8(const std::wstring& text)
{
    char sz[1024] = "";
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, sz, sizeof sz, nullptr, nullptr);
    return sz;
}

const DLGTEMPLATE* Template(int nId, LANGID lang)
{
    HRSRC hInfo = ::FindResourceExW(nullptr, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(nId), lang);
    return hInfo ? static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(nullptr, hInfo))) : nullptr;
}

// The template of that language, created as the program does: through the W function.
HWND CreateDialogIn(int nId, LANGID lang)
{
    const DLGTEMPLATE* pTemplate = Template(nId, lang);
    return pTemplate ? ::CreateDialogIndirectParamW(::GetModuleHandleA(nullptr), pTemplate, nullptr, QuietProc, 0) : nullptr;
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = "";
    ::GetClassNameA(hWnd, sz, sizeof sz);
    return sz;
}

int TemplateItemCount(int nId, LANGID lang)
{
    const WORD* p = reinterpret_cast<const WORD*>(Template(nId, lang));
    // DIALOGEX starts with version 1 and the signature 0xFFFF.
    return p[1] == 0xFFFF ? p[8] : p[4];
}

// The size TEXT takes in FONT, laid out in WIDTH when the control wraps.
SIZE Extent(HWND hWnd, const std::wstring& text, bool bWraps, int nWidth)
{
    HDC hDC = ::GetDC(hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)));
    RECT rc = {0, 0, bWraps ? nWidth : 0, 0};
    ::DrawTextW(hDC, text.c_str(), -1, &rc, DT_CALCRECT | (bWraps ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    return SIZE{rc.right, rc.bottom};
}

RECT RectIn(HWND hChild)
{
    RECT rc;
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(hChild), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void CheckDialog(int nId, LANGID lang)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&icc);
    HWND hDlg = CreateDialogIn(nId, lang);
    ASSERT_NE(hDlg, nullptr) << "dialog " << nId << " language " << lang;
    const int nScale = ::MulDiv(1, g_nWantDpi, 96);
    std::vector<HWND> children;
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    EXPECT_EQ(static_cast<int>(children.size()), TemplateItemCount(nId, lang)) << "dialog " << nId;

    for (HWND h : children) {
        const std::wstring text = Text(h);
        const std::string cls = ClassOf(h);
        const LONG style = ::GetWindowLongA(h, GWL_STYLE);
        RECT rc;
        ::GetClientRect(h, &rc);
        const std::string where = "dialog " + std::to_string(nId) + " language " + std::to_string(lang) + " control "
                                  + std::to_string(::GetDlgCtrlID(h)) + " \"" + Utf8(text) + "\"";
        // Every control lies inside the dialog's client area.
        RECT rcDlg, rcIn = RectIn(h), rcBoth;
        ::GetClientRect(hDlg, &rcDlg);
        ::IntersectRect(&rcBoth, &rcIn, &rcDlg);
        EXPECT_TRUE(::EqualRect(&rcBoth, &rcIn)) << where << " leaves the dialog: (" << rcIn.left << "," << rcIn.top << ")-(" << rcIn.right
                                              << "," << rcIn.bottom << ") in " << rcDlg.right << "x" << rcDlg.bottom;
        if (text.empty() || cls == "ComboBox" || cls == "Edit") continue;

        int nWidth = rc.right;
        bool bWraps = false;
        if (cls == "Button") {
            const LONG type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX) {
                nWidth -= 2 * 8 * nScale;  // the frame's corners either side of the caption
            } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                nWidth -= 2 * 3 * nScale;  // 3-D edges
            } else {
                // Box or circle, then the gap before the text.
                nWidth -= ::GetSystemMetrics(SM_CXMENUCHECK) + 4 * nScale;
            }
            bWraps = (style & BS_MULTILINE) != 0;
        } else if (cls == "Static") {
            if ((style & SS_TYPEMASK) == SS_ICON) continue;
            bWraps = (style & SS_TYPEMASK) == SS_LEFT;
        }
        const SIZE need = Extent(h, text, bWraps, nWidth);
        std::printf("%s: needs %ldx%ld of %dx%ld\n", where.c_str(), need.cx, need.cy, nWidth, rc.bottom);
        EXPECT_LE(need.cx, nWidth) << where << " is clipped at the side";
        EXPECT_LE(need.cy, rc.bottom) << where << " is clipped below";
    }

    // No two controls overlap, but for group boxes (around others) and the
    // up-down control, which sits on its buddy's edge.
    for (size_t i = 0; i < children.size(); ++i) {
        for (size_t j = i + 1; j < children.size(); ++j) {
            HWND a = children[i], b = children[j];
            auto boxed = [](HWND h) {
                return ClassOf(h) == "msctls_updown32"
                       || (ClassOf(h) == "Button" && (::GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX);
            };
            if (boxed(a) || boxed(b)) continue;
            RECT ra = RectIn(a), rb = RectIn(b), r;
            EXPECT_FALSE(::IntersectRect(&r, &ra, &rb)) << "dialog " << nId << " language " << lang << ": \""
                                                       << Utf8(Text(a)) << "\" overlaps \"" << Utf8(Text(b)) << "\"";
        }
    }
    ::DestroyWindow(hDlg);
}

// The up-down control under common controls 6: a click on its upper arrow
// steps the number in its buddy.
void CheckUpDown()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&icc);
    HWND hDlg = CreateDialogIn(IDD_SETTINGS, kLanguages[0]);
    ASSERT_NE(hDlg, nullptr);
    HWND hSpin = ::GetDlgItem(hDlg, IDC_TIMESKM_SPIN);
    ASSERT_NE(hSpin, nullptr);
    ::SendMessageA(hSpin, UDM_SETRANGE32, 1, 10000);
    ::SendMessageA(hSpin, UDM_SETPOS32, 0, 10);
    RECT rc;
    ::GetClientRect(hSpin, &rc);
    const LPARAM upper = MAKELPARAM(rc.right / 2, rc.bottom / 4);
    ::SendMessageA(hSpin, WM_LBUTTONDOWN, MK_LBUTTON, upper);
    ::SendMessageA(hSpin, WM_LBUTTONUP, 0, upper);
    EXPECT_EQ(Text(::GetDlgItem(hDlg, IDC_TIMESKM_VALUE)), L"11");
    ::DestroyWindow(hDlg);
}

class DialogLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        HDC hDC = ::GetDC(nullptr);
        ASSERT_EQ(::GetDeviceCaps(hDC, LOGPIXELSY), g_nWantDpi) << "the prefix's DPI did not take";
        ::ReleaseDC(nullptr, hDC);
    }
};

TEST_F(DialogLayout, MainWindow) { for (LANGID lang : kLanguages) CheckDialog(IDD_MONITORTOOL_DIALOG, lang); }
TEST_F(DialogLayout, SettingsDialog) { for (LANGID lang : kLanguages) CheckDialog(IDD_SETTINGS, lang); }
TEST_F(DialogLayout, AboutBox) { for (LANGID lang : kLanguages) CheckDialog(IDD_ABOUTBOX, lang); }
TEST_F(DialogLayout, UpDownSteps) { CheckUpDown(); }

// Sets the DPI, runs this program at it, puts the old value back.
int RunAtDpi(int nDpi, int argc, char** argv)
{
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kDpiKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr))
        return 2;
    DWORD nOld = 0, nSize = sizeof nOld;
    const bool bHadOld = ::RegQueryValueExA(hKey, kDpiValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&nOld), &nSize) == 0;
    const DWORD nNew = static_cast<DWORD>(nDpi);
    ::RegSetValueExA(hKey, kDpiValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nNew), sizeof nNew);

    char szSelf[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szSelf, MAX_PATH);
    std::string cmd = "\"" + std::string(szSelf) + "\" " + kChildFlag + std::to_string(nDpi);
    for (int i = 1; i < argc; ++i) cmd += std::string(" \"") + argv[i] + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    DWORD nExit = 3;
    if (::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        ::GetExitCodeProcess(pi.hProcess, &nExit);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    if (bHadOld) ::RegSetValueExA(hKey, kDpiValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nOld), sizeof nOld);
    else ::RegDeleteValueA(hKey, kDpiValue);
    ::RegCloseKey(hKey);
    return static_cast<int>(nExit);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kChildFlag, sizeof kChildFlag - 1) == 0) {
            g_nWantDpi = std::atoi(argv[i] + sizeof kChildFlag - 1);
            return RUN_ALL_TESTS();
        }
    }
    int nFailed = 0;
    for (int nDpi : kDpis) {
        const int nExit = RunAtDpi(nDpi, argc, argv);
        std::printf("=== %d DPI: %s\n", nDpi, nExit ? "FAILED" : "passed");
        nFailed += nExit != 0;
    }
    return nFailed ? 1 : 0;
}
