#pragma once
// Everything the application code includes from the framework layer.
#include <windows.h>

#include "Afx.h"
#include "CDC.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CFont.h"
#include "CMenu.h"
#include "CObject.h"
#include "CPaintDC.h"
#include "CPoint.h"
#include "CStatic.h"
#include "CString.h"
#include "CWinApp.h"
#include "CWinThread.h"
#include "CWnd.h"
