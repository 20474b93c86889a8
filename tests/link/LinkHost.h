#pragma once
#include "AfxWin.h"

#include <functional>
#include <string>
#include <vector>

#include "CStaticLink.h"

// Test bodies run inside a shown dialog over the About box's template, with the
// imports the links use counted on their way to the system.
class LinkHost : public CDialog {
public:
    LinkHost();
    std::function<void(LinkHost&)> m_body;
    // The template's controls in template order.
    HWND Child(int nIndex) const;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

void RunInDialog(std::function<void(LinkHost&)> body);

struct LinkCalls {
    int nBeeps = 0;
    int nLoadStrings = 0;
    std::vector<std::string> opened;     // "verb|file"
    std::vector<std::string> libraries;  // LoadLibraryW arguments
};
LinkCalls& Calls();

// Dispatches messages until DONE holds or TIMEOUTMS pass; FALSE on timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD nTimeoutMs);

// Pixels of the control as its parent shows them, counted by link colour.
struct Ink {
    int nNormal = 0, nHover = 0, nVisited = 0;
};
Ink InkOf(HWND hCtrl);

// UTF-8 of UTF-16 text, for messages and comparisons.
std::string Narrow(const std::wstring& text);
std::wstring Wide(const std::string& text);
std::string ModuleDirectory();
