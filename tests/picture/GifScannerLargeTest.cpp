#include <gtest/gtest.h>

#include <cstring>

#include "GifFrameMemory.h"
#include "ScannerProbe.h"

#if !defined(_WIN32) && UINTPTR_MAX > 0xFFFFFFFFu
#include <sys/mman.h>
#define VELODUSK_CAN_MAP_4G 1
#endif

namespace {

#ifdef VELODUSK_CAN_MAP_4G

// The largest buffer a scan can describe, mapped without backing so that
// only the pages a test writes cost memory. Positions near its end are where
// 32-bit sums of position and length would wrap back to the start.
class LargeScan : public ::testing::Test
{
protected:
    static constexpr uint32_t kSize = 0xFFFFFFFFu;

    void SetUp() override
    {
        void* p = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED)
            GTEST_SKIP() << "cannot map 4 GiB";
        m_pData = static_cast<uint8_t*>(p);
        const uint8_t header[13] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
        std::memcpy(m_pData, header, sizeof header);
        m_probe.BeginGifScan(m_pData, kSize);
    }

    void TearDown() override
    {
        if (m_pData != nullptr)
            munmap(m_pData, kSize);
    }

    // Writes bytes so that they end nFromEnd bytes before the end; answers
    // where they start.
    uint32_t PutNearEnd(const std::vector<uint8_t>& bytes, uint32_t nFromEnd = 0)
    {
        const uint32_t nAt = kSize - nFromEnd - static_cast<uint32_t>(bytes.size());
        std::memcpy(m_pData + nAt, bytes.data(), bytes.size());
        return nAt;
    }

    uint8_t* m_pData = nullptr;
    ScannerProbe m_probe;
};

TEST_F(LargeScan, ControlRunningPastTheEndIsNotStepped)
{
    const uint32_t nAt = PutNearEnd({0x21, 0xF9, 0x04, 0x00});  // half a graphic control extension
    m_probe.SetPos(nAt);
    EXPECT_EQ(m_probe.MeasureBlock(), 8);
    EXPECT_FALSE(m_probe.StepOverBlock());
    EXPECT_EQ(m_probe.Pos(), nAt);
    EXPECT_FALSE(m_probe.SkipFrame());
}

TEST_F(LargeScan, ChainWhoseNextCountLiesPastTheEndMeasuresZero)
{
    std::vector<uint8_t> image = {0x2C, 0, 0, 0, 0, 1, 0, 1, 0,  // separator, left, top, width, height
                                  0x00,                          // packed: no local table
                                  0x02};                         // minimum code size
    image.push_back(255);                                        // a full sub-block...
    image.resize(image.size() + 255, 0x11);
    image.push_back(255);                                        // ...and a count whose data runs off the end
    image.resize(image.size() + 20, 0x11);
    const uint32_t nAt = PutNearEnd(image);
    m_probe.SetPos(nAt);
    ASSERT_EQ(m_probe.PeekBlockKind(), GifBlockImage);
    EXPECT_EQ(m_probe.MeasureSubBlocks(nAt + 11), 0);
    EXPECT_EQ(m_probe.MeasureBlock(), 0);
    EXPECT_FALSE(m_probe.StepOverBlock());
    EXPECT_EQ(m_probe.MeasureSubBlocks(kSize - 1), 0);
}

TEST_F(LargeScan, LocalTablePastTheEndMeasuresZero)
{
    const uint32_t nAt = PutNearEnd({0x2C, 0, 0, 0, 0, 1, 0, 1, 0,
                                     0x87,  // local table of 768 bytes: longer than what is left
                                     0x02, 0x00});
    m_probe.SetPos(nAt);
    EXPECT_EQ(m_probe.MeasureBlock(), 0);
    EXPECT_FALSE(m_probe.StepOverBlock());
}

TEST_F(LargeScan, FrameEndingAtTheLastByteIsCountedAndExtracted)
{
    const std::vector<uint8_t> frame = {
        0x21, 0xF9, 0x04, 0x08, 0x32, 0x00, 0x00, 0x00,  // control: disposal 2, delay 50
        0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00, 0x02,        // image descriptor, minimum code size
        0x02, 0x44, 0x01, 0x00};                         // one sub-block of 2, end of chain
    const uint32_t nAt = PutNearEnd(frame);
    m_probe.SetPos(nAt);
    EXPECT_TRUE(m_probe.SkipFrame());
    EXPECT_EQ(m_probe.Pos(), kSize);
    EXPECT_EQ(m_probe.PeekBlockKind(), GifBlockUnrecognised);
    EXPECT_FALSE(m_probe.SkipFrame());

    m_probe.SetPos(nAt);
    uint32_t nBytes = 0;
    GifFrame record = {};
    void* pMemory = m_probe.ExtractNextFrame(&nBytes, &record);
    ASSERT_NE(pMemory, nullptr);
    EXPECT_EQ(nBytes, 13 + frame.size() + 1);
    const uint8_t* pBytes = static_cast<const uint8_t*>(pMemory);
    EXPECT_EQ(std::memcmp(pBytes, m_pData, 13), 0);
    EXPECT_EQ(std::memcmp(pBytes + 13, frame.data(), frame.size()), 0);
    EXPECT_EQ(pBytes[nBytes - 1], 0x3B);
    EXPECT_EQ(record.nDelayCs, 50u);
    GifFrameMemory::Free(pMemory);
}

TEST_F(LargeScan, TrailerAtTheLastByteIsSteppedOver)
{
    m_probe.SetPos(PutNearEnd({0x3B}));
    EXPECT_TRUE(m_probe.StepOverBlock());
    EXPECT_EQ(m_probe.Pos(), kSize);
    EXPECT_EQ(m_probe.MeasureBlock(), -1);
}

#endif

} // namespace
