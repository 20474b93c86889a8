#include "CAboutDlg.h"

#include "AboutText.h"
#include "Resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX), m_linkMail(nullptr, FALSE) {}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_linkMail.m_target = L"" ABOUT_CONTACT_MAILTO;
    m_linkMail.SubclassDlgItem(IDC_MAIL_LINK, this);
    return TRUE;
}
