#include "GifBytes.h"

#include <cstring>

GifBytes& GifBytes::Header(const char* pVersion, uint16_t nWidth, uint16_t nHeight, uint8_t nPacked)
{
    m_bytes.insert(m_bytes.end(), {'G', 'I', 'F'});
    m_bytes.insert(m_bytes.end(), pVersion, pVersion + std::strlen(pVersion));
    U16(nWidth);                 // logical screen width
    U16(nHeight);                // logical screen height
    m_bytes.push_back(nPacked);  // global table flag 0x80, size N in bits 0-2
    m_bytes.push_back(0);        // background colour index
    m_bytes.push_back(0);        // pixel aspect ratio
    ColorTable(nPacked);
    return *this;
}

GifBytes& GifBytes::Control(uint8_t nPacked, uint16_t nDelayCs, uint8_t nSizeByte)
{
    m_bytes.insert(m_bytes.end(), {0x21, 0xF9});  // extension introducer, graphic control label
    m_bytes.push_back(nSizeByte);                 // block size, 4 in a well-formed file
    m_bytes.push_back(nPacked);                   // disposal method in bits 2-4
    U16(nDelayCs);
    m_bytes.push_back(0);                         // transparent colour index
    m_bytes.push_back(0);                         // block terminator
    return *this;
}

GifBytes& GifBytes::Image(uint16_t nLeft, uint16_t nTop, uint16_t nWidth, uint16_t nHeight,
                          uint8_t nPacked, const std::vector<uint8_t>& data)
{
    m_bytes.push_back(0x2C);     // image separator
    U16(nLeft);
    U16(nTop);
    U16(nWidth);
    U16(nHeight);
    m_bytes.push_back(nPacked);  // local table flag 0x80, size M in bits 0-2
    ColorTable(nPacked);
    m_bytes.push_back(2);        // minimum code size
    return SubBlocks(data);
}

GifBytes& GifBytes::Comment(const std::string& text)
{
    m_bytes.insert(m_bytes.end(), {0x21, 0xFE});  // extension introducer, comment label
    return SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
}

GifBytes& GifBytes::LoopCount(uint16_t nLoops)
{
    m_bytes.insert(m_bytes.end(), {0x21, 0xFF, 11});  // introducer, application label, block size
    const char* pId = "NETSCAPE2.0";                   // identifier and authentication code
    m_bytes.insert(m_bytes.end(), pId, pId + 11);
    m_bytes.insert(m_bytes.end(), {3, 1});             // sub-block of 3: loop sub-block id 1
    U16(nLoops);
    m_bytes.push_back(0);                              // end of chain
    return *this;
}

GifBytes& GifBytes::PlainText(uint16_t nLeft, uint16_t nTop, uint16_t nWidth, uint16_t nHeight,
                              const std::string& text)
{
    m_bytes.insert(m_bytes.end(), {0x21, 0x01, 12});  // introducer, plain text label, block size
    U16(nLeft);                                        // text grid left
    U16(nTop);                                         // text grid top
    U16(nWidth);                                       // text grid width
    U16(nHeight);                                      // text grid height
    m_bytes.insert(m_bytes.end(), {8, 8, 1, 0});       // cell width, cell height, fg and bg index
    return SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
}

GifBytes& GifBytes::Trailer()
{
    m_bytes.push_back(0x3B);
    return *this;
}

GifBytes& GifBytes::Raw(std::initializer_list<uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes);
    return *this;
}

GifBytes& GifBytes::SubBlocks(const std::vector<uint8_t>& data, size_t nChunk)
{
    for (size_t i = 0; i < data.size(); i += nChunk)
    {
        const size_t n = data.size() - i < nChunk ? data.size() - i : nChunk;
        m_bytes.push_back(static_cast<uint8_t>(n));
        m_bytes.insert(m_bytes.end(), data.begin() + i, data.begin() + i + n);
    }
    m_bytes.push_back(0);
    return *this;
}

std::vector<uint8_t> GifBytes::Slice(size_t nBegin, size_t nEnd) const
{
    return std::vector<uint8_t>(m_bytes.begin() + nBegin, m_bytes.begin() + nEnd);
}

void GifBytes::U16(uint16_t n)
{
    m_bytes.push_back(static_cast<uint8_t>(n & 0xFF));
    m_bytes.push_back(static_cast<uint8_t>(n >> 8));
}

void GifBytes::ColorTable(uint8_t nPacked)
{
    if ((nPacked & 0x80) == 0)
        return;
    const size_t nBytes = size_t{3} << ((nPacked & 7) + 1);
    // Distinct bytes, so a copy taken from the wrong offset shows.
    for (size_t i = 0; i < nBytes; ++i)
        m_bytes.push_back(static_cast<uint8_t>(0x40 + i * 7));
}
