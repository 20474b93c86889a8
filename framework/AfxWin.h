#pragma once
// Everything the application code includes from the framework layer.
#include <windows.h>

#include "Afx.h"
#include "CClientDC.h"
#include "CDC.h"
#include "CDataExchange.h"
#include "CFileFind.h"
#include "CDialog.h"
#include "CFile.h"
#include "CFileException.h"
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
