#pragma once
#include "AfxWin.h"

class CMonitorToolApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
