#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExactBuffer.h"
#include "FrameSplit.h"
#include "GifBytes.h"
#include "GifFrameMemory.h"
#include "ScannerProbe.h"

namespace {

std::vector<uint8_t> Pixels(size_t nCount, uint8_t nSeed = 7)
{
    std::vector<uint8_t> pixels(nCount);
    for (size_t i = 0; i < nCount; ++i)
        pixels[i] = static_cast<uint8_t>(nSeed + i * 31);
    return pixels;
}

// The scanner over an exactly-sized heap copy of the bytes.
struct Scan
{
    explicit Scan(const std::vector<uint8_t>& bytes) : buffer(bytes)
    {
        screen = probe.BeginGifScan(buffer.Data(), buffer.Size());
    }

    ExactBuffer buffer;
    ScannerProbe probe;
    GifScanner::ScreenSize screen;
};

// What a frame must come out as: the source's first nPrefix bytes, the body
// cut from the source, a trailer.
std::vector<uint8_t> Expected(const GifBytes& gif, size_t nPrefix, size_t nBodyBegin, size_t nBodyEnd)
{
    std::vector<uint8_t> bytes = gif.Slice(0, nPrefix);
    const std::vector<uint8_t> body = gif.Slice(nBodyBegin, nBodyEnd);
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.push_back(0x3B);
    return bytes;
}

FrameSplit SplitExact(const std::vector<uint8_t>& bytes)
{
    const ExactBuffer buffer(bytes);
    FrameSplit split = FrameSplit::Run(buffer.Data(), buffer.Size());
    EXPECT_EQ(split.Problem(buffer.Data(), buffer.Size()), "");
    return split;
}

TEST(GifHeader, AcceptsBothVersionsExactlyAndNothingShort)
{
    for (const char* pVersion : {"87a", "89a"})
    {
        const std::vector<uint8_t> bytes = GifBytes().Header(pVersion, 1, 1, 0).Bytes();
        ASSERT_EQ(bytes.size(), 13u);
        const ExactBuffer whole(bytes);
        EXPECT_TRUE(GifScanner::IsGifHeader(whole.Data(), whole.Size())) << pVersion;
        const ExactBuffer cut(bytes.data(), 12);
        EXPECT_FALSE(GifScanner::IsGifHeader(cut.Data(), cut.Size())) << pVersion;
    }
    for (const char* pVersion : {"90a", "89A", "88a"})
    {
        const ExactBuffer buffer(GifBytes().Header(pVersion, 1, 1, 0).Bytes());
        EXPECT_FALSE(GifScanner::IsGifHeader(buffer.Data(), buffer.Size())) << pVersion;
    }
    std::vector<uint8_t> lower = GifBytes().Header("89a", 1, 1, 0).Bytes();
    lower[0] = 'g';
    const ExactBuffer lowerBuffer(lower);
    EXPECT_FALSE(GifScanner::IsGifHeader(lowerBuffer.Data(), lowerBuffer.Size()));
    EXPECT_FALSE(GifScanner::IsGifHeader(nullptr, 13));
}

TEST(GifScan, ReadsScreenSizeUnsignedAndPlacesFirstBlockAfterGlobalTable)
{
    Scan plain(GifBytes().Header("89a", 0x0102, 0xFEDC, 0x07).Trailer().Bytes());
    EXPECT_EQ(plain.screen.cx, 0x0102);
    EXPECT_EQ(plain.screen.cy, 0xFEDC);
    EXPECT_EQ(plain.probe.ColorTableBytes(), 0u);  // size bits alone mean nothing without the flag
    plain.probe.RewindScan();
    EXPECT_EQ(plain.probe.Pos(), 13u);
    EXPECT_EQ(plain.probe.PeekBlockKind(), GifBlockTrailer);

    for (uint8_t n = 0; n < 8; ++n)
    {
        Scan scan(GifBytes().Header("87a", 3, 4, static_cast<uint8_t>(0x80 | n)).Trailer().Bytes());
        const uint32_t nTable = 6u << n;
        EXPECT_EQ(scan.probe.ColorTableBytes(), nTable) << int(n);
        scan.probe.RewindScan();
        EXPECT_EQ(scan.probe.Pos(), 13 + nTable);
        EXPECT_EQ(scan.probe.PeekBlockKind(), GifBlockTrailer);
    }
}

TEST(GifScan, WithoutScanDataEveryOperationAnswersNothing)
{
    const std::vector<uint8_t> bytes =
        GifBytes().Header("89a", 2, 2, 0).Image(0, 0, 2, 2, 0, Pixels(4)).Trailer().Bytes();
    Scan scan(bytes);
    ASSERT_EQ(scan.probe.CountFrames(), 1);
    scan.probe.RewindScan();
    scan.probe.EndGifScan();

    ScannerProbe fresh;
    for (ScannerProbe* pProbe : {&scan.probe, &fresh})
    {
        EXPECT_EQ(pProbe->PeekBlockKind(), GifBlockUnrecognised);
        EXPECT_EQ(pProbe->MeasureSubBlocks(0), 0);
        EXPECT_EQ(pProbe->MeasureBlock(), 0);
        EXPECT_FALSE(pProbe->StepOverBlock());
        EXPECT_FALSE(pProbe->SkipFrame());
        EXPECT_EQ(pProbe->CountFrames(), 0);
        uint32_t nBytes = 0;
        GifFrame frame = {nullptr, 0, 0, 0, 0, 0, 5};
        EXPECT_EQ(pProbe->ExtractNextFrame(&nBytes, &frame), nullptr);
        EXPECT_EQ(frame.nDisposalMethod, 0);
    }

    Scan none(std::vector<uint8_t>{});
    none.probe.BeginGifScan(nullptr, 100);
    EXPECT_EQ(none.probe.ScanSize(), 0u);
    EXPECT_EQ(none.probe.CountFrames(), 0);
}

TEST(GifScan, DataShorterThanHeaderHasNoScreenAndNoFrames)
{
    const std::vector<uint8_t> bytes = GifBytes().Header("89a", 9, 9, 0x80).Bytes();
    Scan scan(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12));
    EXPECT_EQ(scan.screen.cx, 0);
    EXPECT_EQ(scan.screen.cy, 0);
    EXPECT_EQ(scan.probe.ColorTableBytes(), 0u);
    EXPECT_EQ(scan.probe.CountFrames(), 0);
}

TEST(GifScan, GlobalTablePastTheEndGivesNoFramesEvenFromAStalePosition)
{
    // Flag set with N = 7 (768 bytes), but only an image block follows the
    // screen descriptor: the table would swallow it.
    GifBytes gif;
    gif.Header("89a", 2, 2, 0x00).Image(0, 0, 2, 2, 0, Pixels(4)).Trailer();
    std::vector<uint8_t> bytes = gif.Bytes();
    bytes[10] = 0x87;
    Scan scan(bytes);
    EXPECT_EQ(scan.probe.CountFrames(), 0);

    // A position left over from an earlier scan that stands on the image.
    scan.probe.SetPos(13);
    ASSERT_EQ(scan.probe.PeekBlockKind(), GifBlockImage);
    uint32_t nBytes = 0;
    GifFrame frame = {};
    EXPECT_EQ(scan.probe.ExtractNextFrame(&nBytes, &frame), nullptr);
}

TEST(GifBlocks, KindIsDecidedByFirstByteAndLabel)
{
    struct Case
    {
        std::vector<uint8_t> block;
        GifBlockKind kind;
    };
    const Case cases[] = {
        {{0x2C}, GifBlockImage},
        {{0x3B}, GifBlockTrailer},
        {{0x21, 0xFF}, GifBlockApplication},
        {{0x21, 0xFE}, GifBlockComment},
        {{0x21, 0xF9}, GifBlockControl},
        {{0x21, 0x01}, GifBlockPlainText},
        {{0x21, 0x02}, GifBlockUnrecognised},
        {{0x21, 0x00}, GifBlockUnrecognised},
        {{0x21, 0x2C}, GifBlockUnrecognised},
        {{0x00}, GifBlockUnrecognised},
        {{0x2D}, GifBlockUnrecognised},
        // Introducer as the very last byte: its label would lie past the end.
        {{0x21}, GifBlockUnrecognised},
    };
    for (const Case& c : cases)
    {
        std::vector<uint8_t> bytes = GifBytes().Header("89a", 1, 1, 0).Bytes();
        bytes.insert(bytes.end(), c.block.begin(), c.block.end());
        Scan scan(bytes);
        scan.probe.RewindScan();
        EXPECT_EQ(scan.probe.PeekBlockKind(), c.kind) << "first byte " << int(c.block[0]);
    }

    Scan atEnd(GifBytes().Header("89a", 1, 1, 0).Bytes());
    atEnd.probe.RewindScan();
    EXPECT_EQ(atEnd.probe.PeekBlockKind(), GifBlockUnrecognised);
    EXPECT_EQ(atEnd.probe.MeasureBlock(), -1);
}

TEST(GifBlocks, EachKindMeasuresToItsOwnBytes)
{
    GifBytes gif;
    gif.Header("89a", 8, 8, 0x81);
    std::vector<size_t> marks = {gif.Mark()};
    gif.LoopCount(0);
    marks.push_back(gif.Mark());
    gif.Comment(std::string(300, 'c'));
    marks.push_back(gif.Mark());
    gif.Control(0x04, 10);
    marks.push_back(gif.Mark());
    gif.PlainText(1, 2, 64, 16, "hello");
    marks.push_back(gif.Mark());
    gif.Image(0, 0, 8, 8, 0, Pixels(700));
    marks.push_back(gif.Mark());
    gif.Image(0, 0, 8, 8, 0x83, Pixels(40));  // local table, M = 3: 48 bytes
    marks.push_back(gif.Mark());
    gif.Trailer();
    marks.push_back(gif.Mark());

    Scan scan(gif.Bytes());
    scan.probe.RewindScan();
    const GifBlockKind kinds[] = {GifBlockApplication, GifBlockComment, GifBlockControl, GifBlockPlainText,
                                  GifBlockImage, GifBlockImage, GifBlockTrailer};
    for (size_t i = 0; i + 1 < marks.size(); ++i)
    {
        ASSERT_EQ(scan.probe.Pos(), marks[i]);
        EXPECT_EQ(scan.probe.PeekBlockKind(), kinds[i]) << i;
        EXPECT_EQ(scan.probe.MeasureBlock(), static_cast<int>(marks[i + 1] - marks[i])) << i;
        if (i == 5)  // the local table sits between the descriptor and the chain
        {
            EXPECT_EQ(scan.probe.MeasureBlock(), 59 + scan.probe.MeasureSubBlocks(scan.probe.Pos() + 59));
        }
        ASSERT_TRUE(scan.probe.StepOverBlock()) << i;
    }
    EXPECT_EQ(scan.probe.Pos(), scan.buffer.Size());
}

TEST(GifBlocks, ControlIsEightBytesWhateverItsSizeByteSays)
{
    for (uint8_t nSizeByte : {0, 3, 5, 200, 255})
    {
        GifBytes gif;
        gif.Header("89a", 2, 2, 0);
        const size_t nControl = gif.Mark();
        gif.Control(0x08, 25, nSizeByte).Image(0, 0, 2, 2, 0, Pixels(4));
        const size_t nEnd = gif.Mark();
        gif.Trailer();
        Scan scan(gif.Bytes());
        scan.probe.RewindScan();
        EXPECT_EQ(scan.probe.MeasureBlock(), 8);
        const FrameSplit split = SplitExact(gif.Bytes());
        ASSERT_EQ(split.frames.size(), 1u);
        EXPECT_EQ(split.frames[0].bytes, Expected(gif, 13, nControl, nEnd));
        EXPECT_EQ(split.frames[0].record.nDelayCs, 25u);
    }
}

TEST(GifSubBlocks, ChainLengthCountsEveryCountByteAndTheEnd)
{
    GifBytes gif;
    gif.Header("89a", 1, 1, 0);
    const uint32_t nEmpty = static_cast<uint32_t>(gif.Mark());
    gif.Raw({0x00});
    const uint32_t nLong = static_cast<uint32_t>(gif.Mark());
    gif.SubBlocks(Pixels(3 * 255 + 1));
    Scan scan(gif.Bytes());
    EXPECT_EQ(scan.probe.MeasureSubBlocks(nEmpty), 1);
    EXPECT_EQ(scan.probe.MeasureSubBlocks(nLong), 3 * 256 + 2 + 1);
    EXPECT_EQ(scan.probe.MeasureSubBlocks(scan.buffer.Size()), 0);

    // Cut one byte before the ending zero, and inside the last sub-block's data.
    for (size_t nCut : {size_t{1}, size_t{2}})
    {
        std::vector<uint8_t> bytes = gif.Bytes();
        bytes.resize(bytes.size() - nCut);
        Scan cut(bytes);
        EXPECT_EQ(cut.probe.MeasureSubBlocks(nLong), 0) << nCut;
    }
}

// The chain as the format defines it, one count after another.
int ReferenceChainLength(const std::vector<uint8_t>& bytes, size_t q)
{
    const size_t nStart = q;
    while (q < bytes.size() && bytes[q] != 0)
        q += bytes[q] + 1u;
    return q < bytes.size() ? static_cast<int>(q - nStart + 1) : 0;
}

TEST(GifSubBlocks, RunsOfEqualCountsMeasureExactlyWhereverTheyBreakOrEnd)
{
    // Runs of one sub-block size, as encoders write them, broken by a shorter
    // block or ended early, followed by filler equal to the run's count so
    // that bytes after the chain look like more of the run.
    for (uint8_t nSize : {uint8_t{1}, uint8_t{7}, uint8_t{254}, uint8_t{255}})
    {
        for (size_t nBlocks : {size_t{1}, size_t{15}, size_t{16}, size_t{17}, size_t{33}, size_t{40}})
        {
            for (size_t nBreakAt : {size_t{0}, size_t{1}, nBlocks / 2, nBlocks - 1})
            {
                GifBytes gif;
                gif.Header("89a", 1, 1, 0);
                const size_t nChain = gif.Mark();
                std::vector<uint8_t> data(nBlocks * nSize, 0x11);
                if (nBreakAt != 0)
                    data.resize(nBreakAt * nSize + nSize / 2);  // the break: a shorter last block
                gif.SubBlocks(data, nSize);
                std::vector<uint8_t> bytes = gif.Bytes();
                const std::vector<uint8_t> filler(20 * (nSize + 1u), nSize);
                bytes.insert(bytes.end(), filler.begin(), filler.end());

                const int nExpected = ReferenceChainLength(bytes, nChain);
                ASSERT_GT(nExpected, 0);
                // Every cut from just before the ending zero to the full filler.
                for (size_t nCut = nChain + nExpected - 1; nCut <= bytes.size(); nCut += nCut < nChain + nExpected + 600 ? 1 : 97)
                {
                    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + nCut);
                    Scan scan(cut);
                    ASSERT_EQ(scan.probe.MeasureSubBlocks(static_cast<uint32_t>(nChain)), ReferenceChainLength(cut, nChain))
                        << "size " << int(nSize) << " blocks " << nBlocks << " break " << nBreakAt << " cut " << nCut;
                }
                // Damage any one count byte of the run: still the reference length.
                for (size_t q = nChain; q < nChain + nExpected - 1; q += bytes[q] + 1u)
                {
                    for (uint8_t value : {uint8_t{0}, static_cast<uint8_t>(nSize - 1)})
                    {
                        std::vector<uint8_t> damaged = bytes;
                        damaged[q] = value;
                        Scan scan(damaged);
                        ASSERT_EQ(scan.probe.MeasureSubBlocks(static_cast<uint32_t>(nChain)),
                                  ReferenceChainLength(damaged, nChain))
                            << "size " << int(nSize) << " blocks " << nBlocks << " count at " << q;
                    }
                }
            }
        }
    }
}

TEST(GifBlocks, BlockNeedingBytesPastTheEndMeasuresZeroAndIsNotStepped)
{
    GifBytes gif;
    gif.Header("89a", 4, 4, 0);
    const size_t nImage = gif.Mark();
    gif.Image(0, 0, 4, 4, 0x80, Pixels(16));
    for (size_t nKeep : {size_t{9}, size_t{10}, size_t{12}, size_t{17}, gif.Mark() - nImage - 1})
    {
        Scan scan(gif.Slice(0, nImage + nKeep));
        scan.probe.RewindScan();
        ASSERT_EQ(scan.probe.PeekBlockKind(), GifBlockImage);
        EXPECT_EQ(scan.probe.MeasureBlock(), 0) << nKeep;
        EXPECT_FALSE(scan.probe.StepOverBlock());
        EXPECT_EQ(scan.probe.Pos(), nImage);
    }
}

TEST(GifStep, BlockMayEndExactlyAtTheEndButNotBeyond)
{
    GifBytes gif;
    gif.Header("89a", 4, 4, 0);
    const size_t nControl = gif.Mark();
    gif.Control(0, 0);
    Scan exact(gif.Bytes());
    exact.probe.RewindScan();
    EXPECT_TRUE(exact.probe.StepOverBlock());
    EXPECT_EQ(exact.probe.Pos(), exact.buffer.Size());
    EXPECT_EQ(exact.probe.PeekBlockKind(), GifBlockUnrecognised);

    // Seven of its eight bytes: measurable (its length is fixed) but not steppable.
    Scan cut(gif.Slice(0, gif.Mark() - 1));
    cut.probe.RewindScan();
    EXPECT_EQ(cut.probe.MeasureBlock(), 8);
    EXPECT_FALSE(cut.probe.StepOverBlock());
    EXPECT_EQ(cut.probe.Pos(), nControl);
    EXPECT_EQ(cut.probe.CountFrames(), 0);
}

TEST(GifFrames, ThreeControlledImagesGiveThreeCompleteGifs)
{
    GifBytes gif;
    gif.Header("89a", 10, 10, 0x81);  // global table of 12 bytes
    const size_t nPrefix = gif.Mark();
    const uint8_t packed[] = {0x00, 0x08, 0x0C};  // disposal 0, 2, 3
    const uint16_t delays[] = {0, 5, 300};
    std::vector<size_t> begins;
    std::vector<size_t> imageBegins;
    for (int i = 0; i < 3; ++i)
    {
        begins.push_back(gif.Mark());
        gif.Control(packed[i], delays[i]);
        imageBegins.push_back(gif.Mark());
        gif.Image(static_cast<uint16_t>(i), static_cast<uint16_t>(2 * i), static_cast<uint16_t>(10 - i),
                  static_cast<uint16_t>(9 - i), 0, Pixels(20 + 100 * i, static_cast<uint8_t>(i)));
    }
    begins.push_back(gif.Mark());
    gif.Trailer();

    Scan scan(gif.Bytes());
    EXPECT_EQ(scan.probe.CountFrames(), 3);
    EXPECT_EQ(scan.probe.CountFrames(), 3);  // counting rewinds first

    scan.probe.RewindScan();
    GifFrame frame = {};
    for (int i = 0; i < 3; ++i)
    {
        uint32_t nBytes = 0;
        void* pMemory = scan.probe.ExtractNextFrame(&nBytes, &frame);
        ASSERT_NE(pMemory, nullptr);
        const uint8_t* pBytes = static_cast<const uint8_t*>(pMemory);
        const std::vector<uint8_t> expected = Expected(gif, nPrefix, begins[i], begins[i + 1]);
        const size_t nImageBytes = begins[i + 1] - imageBegins[i];
        EXPECT_EQ(nBytes, 13 + 12 + 8 + nImageBytes + 1);
        EXPECT_EQ(std::vector<uint8_t>(pBytes, pBytes + nBytes), expected);
        GifFrameMemory::Free(pMemory);
        EXPECT_EQ(frame.nDelayCs, delays[i]);
        EXPECT_EQ(frame.nDisposalMethod, packed[i] >> 2);
        EXPECT_EQ(frame.nLeft, i);
        EXPECT_EQ(frame.nTop, 2 * i);
        EXPECT_EQ(frame.nWidth, 10 - i);
        EXPECT_EQ(frame.nHeight, 9 - i);
        EXPECT_EQ(scan.probe.Pos(), begins[i + 1]);
    }
    uint32_t nBytes = 0;
    EXPECT_EQ(scan.probe.ExtractNextFrame(&nBytes, &frame), nullptr);
    EXPECT_EQ(scan.probe.PeekBlockKind(), GifBlockTrailer);
}

TEST(GifFrames, ImageWithoutControlHasNoDelayAndNoControlInItsGif)
{
    GifBytes gif;
    gif.Header("87a", 3, 3, 0);
    const size_t nImage = gif.Mark();
    gif.Image(1, 1, 2, 2, 0, Pixels(4));
    const size_t nEnd = gif.Mark();
    gif.Trailer();
    const FrameSplit split = SplitExact(gif.Bytes());
    ASSERT_EQ(split.nCounted, 1);
    ASSERT_EQ(split.frames.size(), 1u);
    EXPECT_EQ(split.frames[0].record.nDelayCs, GifFrame::kNoDelay);
    EXPECT_EQ(split.frames[0].record.nDisposalMethod, 0);
    EXPECT_EQ(split.frames[0].bytes, Expected(gif, 13, nImage, nEnd));
}

TEST(GifFrames, ExtensionsAfterTheControlBelongToTheFrameAndTheFirstControlRules)
{
    GifBytes gif;
    gif.Header("89a", 4, 4, 0x80);
    const size_t nPrefix = gif.Mark();
    gif.LoopCount(0).Comment("before any frame: belongs to none");
    const size_t nFirst = gif.Mark();
    gif.Control(0x08, 40).Comment("inside").Image(0, 0, 4, 4, 0, Pixels(16));
    const size_t nSecond = gif.Mark();
    gif.Control(0x0C, 7).LoopCount(3).Control(0x04, 99).Image(0, 0, 4, 4, 0, Pixels(16));
    const size_t nEnd = gif.Mark();
    gif.Trailer();

    const FrameSplit split = SplitExact(gif.Bytes());
    ASSERT_EQ(split.frames.size(), 2u);
    EXPECT_EQ(split.frames[0].bytes, Expected(gif, nPrefix, nFirst, nSecond));
    EXPECT_EQ(split.frames[0].record.nDelayCs, 40u);
    EXPECT_EQ(split.frames[0].record.nDisposalMethod, 2);
    EXPECT_EQ(split.frames[1].bytes, Expected(gif, nPrefix, nSecond, nEnd));
    EXPECT_EQ(split.frames[1].record.nDelayCs, 7u);
    EXPECT_EQ(split.frames[1].record.nDisposalMethod, 3);
}

TEST(GifFrames, DisposalComesFromBitsTwoToFourOnly)
{
    for (uint8_t nPacked : {0xE3, 0xFF, 0x1C, 0x10, 0x01})
    {
        const FrameSplit split = SplitExact(
            GifBytes().Header("89a", 1, 1, 0).Control(nPacked, 1).Image(0, 0, 1, 1, 0, Pixels(1)).Trailer().Bytes());
        ASSERT_EQ(split.frames.size(), 1u);
        EXPECT_EQ(split.frames[0].record.nDisposalMethod, (nPacked >> 2) & 7) << int(nPacked);
    }
}

TEST(GifFrames, WalkEndsAtUnrecognisedOrIncompleteBlocks)
{
    struct Case
    {
        const char* pName;
        std::vector<uint8_t> bytes;
        int nFrames;
    };
    GifBytes base;
    base.Header("89a", 4, 4, 0).Control(0, 10).Image(0, 0, 4, 4, 0, Pixels(16)).Image(0, 0, 2, 2, 0, Pixels(4));
    std::vector<Case> cases;

    cases.push_back({"label 0x02 ends the walk",
                     GifBytes(base).Raw({0x21, 0x02, 0x00}).Image(0, 0, 1, 1, 0, Pixels(1)).Trailer().Bytes(), 2});
    cases.push_back({"stray byte ends the walk", GifBytes(base).Raw({0x00}).Image(0, 0, 1, 1, 0, Pixels(1)).Bytes(), 2});
    std::vector<uint8_t> cut = GifBytes(base).Image(0, 0, 4, 4, 0, Pixels(40)).Trailer().Bytes();
    cut.resize(cut.size() - 10);
    cases.push_back({"cut inside the last image's data", cut, 2});
    cases.push_back({"no trailer: the last image ends at the end", base.Bytes(), 2});
    cases.push_back({"control then trailer", GifBytes(base).Control(0, 1).Trailer().Bytes(), 2});
    cases.push_back({"control then stray byte", GifBytes(base).Control(0, 1).Raw({0x99}).Bytes(), 2});
    cases.push_back({"control at the end", GifBytes(base).Control(0, 1).Bytes(), 2});
    cases.push_back({"comment cut in its chain", GifBytes(base).Raw({0x21, 0xFE, 0x05, 'a'}).Bytes(), 2});
    cases.push_back({"extension after the trailer is not read",
                     GifBytes(base).Trailer().Image(0, 0, 1, 1, 0, Pixels(1)).Bytes(), 2});

    for (const Case& c : cases)
    {
        const FrameSplit split = SplitExact(c.bytes);
        EXPECT_EQ(split.nCounted, c.nFrames) << c.pName;
    }
}

TEST(GifFrames, PlainTextFrameTakesItsTextGridAsGeometry)
{
    GifBytes gif;
    gif.Header("89a", 100, 50, 0x80);
    const size_t nPrefix = gif.Mark();
    gif.Image(1, 2, 3, 4, 0, Pixels(12));
    const size_t nText = gif.Mark();
    gif.Control(0x08, 20).PlainText(10, 20, 64, 16, "hi there");
    const size_t nEnd = gif.Mark();
    gif.Trailer();

    const FrameSplit split = SplitExact(gif.Bytes());
    ASSERT_EQ(split.frames.size(), 2u);
    const FrameSplit::Frame& text = split.frames[1];
    EXPECT_EQ(text.bytes, Expected(gif, nPrefix, nText, nEnd));
    // Not the geometry of the image before it.
    EXPECT_EQ(text.record.nLeft, 10);
    EXPECT_EQ(text.record.nTop, 20);
    EXPECT_EQ(text.record.nWidth, 64);
    EXPECT_EQ(text.record.nHeight, 16);
    EXPECT_EQ(text.record.nDelayCs, 20u);
    EXPECT_EQ(text.record.nDisposalMethod, 2);
}

int s_nAllocCalls = 0;

void* RefuseSecondAlloc(uint32_t nBytes)
{
    return ++s_nAllocCalls == 2 ? nullptr : GifFrameMemory::PlatformAlloc(nBytes);
}

TEST(GifFrames, RefusedAllocationLeavesThePositionPastThatFrame)
{
    GifBytes gif;
    gif.Header("89a", 4, 4, 0);
    std::vector<size_t> begins;
    for (int i = 0; i < 3; ++i)
    {
        begins.push_back(gif.Mark());
        gif.Control(0, static_cast<uint16_t>(i + 1)).Image(0, 0, 4, 4, 0, Pixels(16, static_cast<uint8_t>(i)));
    }
    begins.push_back(gif.Mark());
    gif.Trailer();
    Scan scan(gif.Bytes());
    scan.probe.RewindScan();

    s_nAllocCalls = 0;
    GifFrameMemory::AllocHook pfnOld = GifFrameMemory::SetAllocHook(RefuseSecondAlloc);
    GifFrame frame = {};
    uint32_t nBytes = 0;
    void* pFirst = scan.probe.ExtractNextFrame(&nBytes, &frame);
    nBytes = 12345;
    void* pSecond = scan.probe.ExtractNextFrame(&nBytes, &frame);
    const uint32_t nPosAfterRefusal = scan.probe.Pos();
    void* pThird = scan.probe.ExtractNextFrame(&nBytes, &frame);
    GifFrameMemory::SetAllocHook(pfnOld);

    EXPECT_NE(pFirst, nullptr);
    EXPECT_EQ(pSecond, nullptr);
    EXPECT_EQ(nPosAfterRefusal, begins[2]);
    ASSERT_NE(pThird, nullptr);
    EXPECT_EQ(nBytes, 13 + (begins[3] - begins[2]) + 1);
    EXPECT_EQ(frame.nDelayCs, 3u);
    GifFrameMemory::Free(pFirst);
    GifFrameMemory::Free(pThird);
}

// Every kind of block, a local table and chains of several sub-blocks, so
// that cuts and damage land in every field the scanner reads.
GifBytes RichGif()
{
    GifBytes gif;
    gif.Header("89a", 32, 24, 0x82)
        .LoopCount(0)
        .Comment("made by hand")
        .Control(0x04, 10)
        .Image(0, 0, 32, 24, 0x81, Pixels(300))
        .Control(0x08, 0)
        .Comment("x")
        .Control(0x0C, 50)
        .Image(4, 4, 8, 8, 0, Pixels(64))
        .Control(0x00, 4)
        .PlainText(1, 1, 30, 10, "text")
        .Image(2, 3, 5, 6, 0, Pixels(30))
        .Trailer();
    return gif;
}

TEST(GifRobustness, EveryPrefixSplitsIntoAPrefixOfTheWholeFilesFrames)
{
    const std::vector<uint8_t> bytes = RichGif().Bytes();
    const FrameSplit whole = SplitExact(bytes);
    ASSERT_EQ(whole.nCounted, 4);

    int nPrevious = 0;
    for (size_t n = 0; n <= bytes.size(); ++n)
    {
        const FrameSplit split = SplitExact(std::vector<uint8_t>(bytes.begin(), bytes.begin() + n));
        ASSERT_GE(split.nCounted, nPrevious) << n;
        ASSERT_LE(split.frames.size(), whole.frames.size());
        for (size_t i = 0; i < split.frames.size(); ++i)
            ASSERT_EQ(split.frames[i].bytes, whole.frames[i].bytes) << "prefix " << n << " frame " << i;
        nPrevious = split.nCounted;
    }
    EXPECT_EQ(nPrevious, whole.nCounted);
}

TEST(GifRobustness, SingleByteDamageKeepsEverySplitRule)
{
    const std::vector<uint8_t> bytes = RichGif().Bytes();
    int nChangedCounts = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        const uint8_t original = bytes[i];
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0x01}, uint8_t{0x21}, uint8_t{0x2C}, uint8_t{0x3B},
                              uint8_t{0xF9}, uint8_t{0xFF}, static_cast<uint8_t>(original ^ 0x80),
                              static_cast<uint8_t>(original + 1)})
        {
            std::vector<uint8_t> damaged = bytes;
            damaged[i] = value;
            const ExactBuffer buffer(damaged);
            const FrameSplit split = FrameSplit::Run(buffer.Data(), buffer.Size());
            ASSERT_EQ(split.Problem(buffer.Data(), buffer.Size()), "") << "byte " << i << " = " << int(value);
            nChangedCounts += split.nCounted != 4;
        }
    }
    // Damage to counts, labels and packed bytes must actually move the walk.
    EXPECT_GT(nChangedCounts, 0);
}

} // namespace
