#pragma once
#include <windows.h>

class CFileException;

// A file handle owned by the object: closed by Close or the destructor.
class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
    };

    CFile() = default;
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

    // FALSE on failure, with the cause in *pError when given; never throws.
    virtual BOOL Open(const WCHAR* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual ULONGLONG GetLength() const;
    // Answers the bytes read (fewer at the end of the file); throws CFileException* on failure.
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Close();

    static void ThrowOsError(LONG lOsError);
};
