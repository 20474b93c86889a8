#pragma once
#include "CMonitorToolDlg.h"
#include "ModalScript.h"

// The real main dialog with a test script run inside its modal loop.
class MainDialogProbe : public CMonitorToolDlg {
public:
    ModalScript m_script;
    using CMonitorToolDlg::ShowMainWindow;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
};
