#ifndef VELODUSK_TESTS_PICTURE_SCANNERPROBE_H
#define VELODUSK_TESTS_PICTURE_SCANNERPROBE_H

#include "GifScanner.h"

// Opens the scan state to the tests, as the picture control sees it.
class ScannerProbe : public GifScanner
{
public:
    uint32_t Pos() const { return m_nScanPos; }
    void SetPos(uint32_t nPos) { m_nScanPos = nPos; }
    uint32_t ColorTableBytes() const { return m_nColorTableBytes; }
    uint32_t ScanSize() const { return m_nScanSize; }
    const uint8_t* ScanData() const { return m_pScanData; }
};

#endif
