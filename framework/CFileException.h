#pragma once
#include <windows.h>

// Thrown by pointer from CFile's reads and writes; the catcher calls Delete().
// CFile::Open fills one given by the caller instead of throwing.
class CFileException {
public:
    enum { none = 0, genericException = 1, fileNotFound = 2, accessDenied = 5, endOfFile = 14 };

    explicit CFileException(int cause = none, LONG lOsError = -1) : m_cause(cause), m_lOsError(lOsError) {}
    virtual ~CFileException() = default;
    CFileException(const CFileException&) = delete;
    CFileException& operator=(const CFileException&) = delete;

    // Exceptions travel as heap objects; only a thrown one may be deleted.
    void Delete() { if (m_bAutoDelete) delete this; }

    static int OsErrorToCause(LONG lOsError);

    int m_cause;
    LONG m_lOsError;
    BOOL m_bAutoDelete = FALSE;
};
