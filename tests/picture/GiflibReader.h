#ifndef VELODUSK_TESTS_PICTURE_GIFLIBREADER_H
#define VELODUSK_TESTS_PICTURE_GIFLIBREADER_H

#include <gif_lib.h>

#include <cstdint>
#include <cstring>

// Opens bytes held in memory with giflib, the independent reader that the
// cross-check and the benchmark hold the scanner against.
class GiflibReader
{
public:
    GiflibReader(const uint8_t* pData, size_t nSize) : m_pData(pData), m_nSize(nSize), m_nPos(0) {}

    GifFileType* Open(int* pnError)
    {
        m_nPos = 0;
        return DGifOpen(this, &GiflibReader::Read, pnError);
    }

private:
    static int Read(GifFileType* pGif, GifByteType* pOut, int nWanted)
    {
        GiflibReader* pSelf = static_cast<GiflibReader*>(pGif->UserData);
        size_t n = pSelf->m_nSize - pSelf->m_nPos;
        if (nWanted < 0)
            return 0;
        if (n > static_cast<size_t>(nWanted))
            n = static_cast<size_t>(nWanted);
        std::memcpy(pOut, pSelf->m_pData + pSelf->m_nPos, n);
        pSelf->m_nPos += n;
        return static_cast<int>(n);
    }

    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos;
};

#endif
