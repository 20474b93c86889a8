#pragma once
#include "AfxWin.h"

#include "CStaticLink.h"

// The About box: icon, name and version, the maker's notice and a mail link.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override = default;

protected:
    // The box exchanges no data.
    void DoDataExchange(CDataExchange*) override {}
    BOOL OnInitDialog() override;
    DECLARE_MESSAGE_MAP()

    // Owned by the box: no target until initialisation, no self-delete.
    CStaticLink m_linkMail;
};
