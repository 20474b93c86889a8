#ifndef VELODUSK_TESTS_PICTURE_EXACTBUFFER_H
#define VELODUSK_TESTS_PICTURE_EXACTBUFFER_H

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

// A heap copy of exactly the given bytes, so that AddressSanitizer reports a
// read of the first byte past the end.
class ExactBuffer
{
public:
    ExactBuffer(const uint8_t* pData, size_t nSize)
        : m_pData(new uint8_t[nSize]), m_nSize(nSize)
    {
        if (nSize != 0)
            std::memcpy(m_pData.get(), pData, nSize);
    }

    explicit ExactBuffer(const std::vector<uint8_t>& bytes)
        : ExactBuffer(bytes.data(), bytes.size())
    {
    }

    const uint8_t* Data() const { return m_pData.get(); }
    uint8_t* MutableData() { return m_pData.get(); }
    uint32_t Size() const { return static_cast<uint32_t>(m_nSize); }

private:
    std::unique_ptr<uint8_t[]> m_pData;
    size_t m_nSize;
};

#endif
