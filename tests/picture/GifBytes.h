#ifndef VELODUSK_TESTS_PICTURE_GIFBYTES_H
#define VELODUSK_TESTS_PICTURE_GIFBYTES_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Writes GIF blocks field by field, so that a test reads as the file it
// builds. Mark() gives the offset where the next block will start, which lets
// a test cut the expected frame bodies out of the bytes it built.
class GifBytes
{
public:
    GifBytes& Header(const char* pVersion, uint16_t nWidth, uint16_t nHeight, uint8_t nPacked);
    GifBytes& Control(uint8_t nPacked, uint16_t nDelayCs, uint8_t nSizeByte = 4);
    GifBytes& Image(uint16_t nLeft, uint16_t nTop, uint16_t nWidth, uint16_t nHeight,
                    uint8_t nPacked, const std::vector<uint8_t>& data);
    GifBytes& Comment(const std::string& text);
    GifBytes& LoopCount(uint16_t nLoops);
    GifBytes& PlainText(uint16_t nLeft, uint16_t nTop, uint16_t nWidth, uint16_t nHeight,
                        const std::string& text);
    GifBytes& Trailer();
    GifBytes& Raw(std::initializer_list<uint8_t> bytes);
    // Count bytes of at most nChunk, then the ending zero.
    GifBytes& SubBlocks(const std::vector<uint8_t>& data, size_t nChunk = 255);

    size_t Mark() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t> Slice(size_t nBegin, size_t nEnd) const;

private:
    void U16(uint16_t n);
    void ColorTable(uint8_t nPacked);

    std::vector<uint8_t> m_bytes;
};

#endif
