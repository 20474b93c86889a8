#include "CFileException.h"

int CFileException::OsErrorToCause(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: return fileNotFound;
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: return accessDenied;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}
