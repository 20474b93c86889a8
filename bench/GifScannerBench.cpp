// Counting and splitting a large animated GIF, against giflib walking the
// same bytes without decoding and against a plain copy of them.
//   GifScannerBench [benchmark flags] <file.gif>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "GifFrameMemory.h"
#include "GifScanner.h"
#include "GiflibReader.h"

namespace {

std::vector<uint8_t> g_bytes;
// Offsets of every sub-block count byte in the file.
std::vector<uint32_t> g_countBytes;

// Finds the count bytes with the simplest walk there is, for the floor below.
void ListCountBytes()
{
    const uint8_t* p = g_bytes.data();
    const size_t n = g_bytes.size();
    size_t q = 13 + ((p[10] & 0x80) != 0 ? 3u << ((p[10] & 7) + 1) : 0);
    auto chain = [&](size_t at) {
        while (at < n && p[at] != 0)
        {
            g_countBytes.push_back(static_cast<uint32_t>(at));
            at += p[at] + 1u;
        }
        return at + 1;
    };
    while (q + 1 < n)
    {
        if (p[q] == 0x21 && p[q + 1] == 0xF9)
            q += 8;
        else if (p[q] == 0x21)
            q = chain(q + (p[q + 1] == 0xFF ? 14 : p[q + 1] == 0x01 ? 15 : 2));
        else if (p[q] == 0x2C && q + 9 < n)
            q = chain(q + 11 + ((p[q + 9] & 0x80) != 0 ? 3u << ((p[q + 9] & 7) + 1) : 0));
        else
            break;
    }
}

// giflib's record walk: every record type, image descriptor, extension and
// raw code block read, nothing decompressed. Answers the images seen, or -1.
int GiflibWalk(const uint8_t* pData, size_t nSize)
{
    GiflibReader reader(pData, nSize);
    int nError = 0;
    GifFileType* pGif = reader.Open(&nError);
    if (pGif == nullptr)
        return -1;
    int nImages = 0;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    bool bOk = true;
    while (bOk && DGifGetRecordType(pGif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE)
    {
        if (type == IMAGE_DESC_RECORD_TYPE)
        {
            int nCodeSize = 0;
            GifByteType* pBlock = nullptr;
            bOk = DGifGetImageDesc(pGif) == GIF_OK && DGifGetCode(pGif, &nCodeSize, &pBlock) == GIF_OK;
            while (bOk && pBlock != nullptr)
                bOk = DGifGetCodeNext(pGif, &pBlock) == GIF_OK;
            ++nImages;
        }
        else if (type == EXTENSION_RECORD_TYPE)
        {
            int nCode = 0;
            GifByteType* pExtension = nullptr;
            bOk = DGifGetExtension(pGif, &nCode, &pExtension) == GIF_OK;
            while (bOk && pExtension != nullptr)
                bOk = DGifGetExtensionNext(pGif, &pExtension) == GIF_OK;
        }
    }
    DGifCloseFile(pGif, &nError);
    return bOk && type == TERMINATE_RECORD_TYPE ? nImages : -1;
}

void CountFrames(benchmark::State& state)
{
    GifScanner scanner;
    scanner.BeginGifScan(g_bytes.data(), static_cast<uint32_t>(g_bytes.size()));
    for (auto _ : state)
        benchmark::DoNotOptimize(scanner.CountFrames());
    scanner.EndGifScan();
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(g_bytes.size()));
}

void GiflibRecordWalk(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(GiflibWalk(g_bytes.data(), g_bytes.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(g_bytes.size()));
}

// What a load does: count, rewind, extract every frame. Each frame is
// released at once, as the control hands it to a stream that frees it.
void ExtractAllFrames(benchmark::State& state)
{
    GifScanner scanner;
    scanner.BeginGifScan(g_bytes.data(), static_cast<uint32_t>(g_bytes.size()));
    for (auto _ : state)
    {
        scanner.RewindScan();
        GifFrame frame = {};
        uint32_t nBytes = 0;
        while (void* pMemory = scanner.ExtractNextFrame(&nBytes, &frame))
        {
            benchmark::DoNotOptimize(pMemory);
            GifFrameMemory::Free(pMemory);
        }
    }
    scanner.EndGifScan();
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(g_bytes.size()));
}

// No exact walk can read less than every count byte, and in image data each
// one lies on a cache line of its own: reading them at known offsets, with no
// hop waiting on the one before, is the floor for CountFrames.
void CountByteFloor(benchmark::State& state)
{
    for (auto _ : state)
    {
        unsigned nSum = 0;
        for (uint32_t q : g_countBytes)
            nSum += g_bytes[q];
        benchmark::DoNotOptimize(nSum);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(g_bytes.size()));
}

void PlainCopy(benchmark::State& state)
{
    std::vector<uint8_t> copy(g_bytes.size());
    for (auto _ : state)
    {
        std::memcpy(copy.data(), g_bytes.data(), g_bytes.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(g_bytes.size()));
}

// Keeps each benchmark's CPU time (the median when repeated) for the ratios:
// CPU time is what another process on the machine disturbs least.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration && m_median.count(name) == 0)
                m_time[name] = run.GetAdjustedCPUTime();
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_median[name] = m_time[name] = run.GetAdjustedCPUTime();
        }
    }

    double Time(const std::string& name) const
    {
        auto it = m_time.find(name);
        return it != m_time.end() ? it->second : 0.0;
    }

private:
    std::map<std::string, double> m_time;
    std::map<std::string, double> m_median;
};

} // namespace

BENCHMARK(CountFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(GiflibRecordWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(CountByteFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExtractAllFrames)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainCopy)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s [benchmark flags] file.gif\n", argv[0]);
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    g_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());

    GifScanner scanner;
    scanner.BeginGifScan(g_bytes.data(), static_cast<uint32_t>(g_bytes.size()));
    const int nFrames = scanner.CountFrames();
    scanner.EndGifScan();
    const int nImages = GiflibWalk(g_bytes.data(), g_bytes.size());
    std::printf("%s: %zu bytes, %d frames (giflib: %d images)\n", argv[1], g_bytes.size(), nFrames, nImages);
    if (nFrames != nImages || nFrames < 1)
    {
        std::fprintf(stderr, "the scanner and giflib disagree on this file\n");
        return 1;
    }

    ListCountBytes();
    std::printf("%zu sub-block count bytes\n", g_countBytes.size());

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double nCount = reporter.Time("CountFrames");
    const double nWalk = reporter.Time("GiflibRecordWalk");
    const double nFloor = reporter.Time("CountByteFloor");
    const double nExtract = reporter.Time("ExtractAllFrames");
    const double nCopy = reporter.Time("PlainCopy");
    if (nCount > 0 && nWalk > 0)
        std::printf("giflib walk / CountFrames:      %7.1fx  (target >= 20x)\n", nWalk / nCount);
    if (nFloor > 0 && nWalk > 0 && nCount > 0)
        std::printf("giflib walk / count-byte floor: %7.1fx  (the most any exact walk can reach here)\n"
                    "CountFrames / count-byte floor: %7.2fx\n",
                    nWalk / nFloor, nCount / nFloor);
    if (nExtract > 0 && nCopy > 0)
        std::printf("ExtractAllFrames / plain copy:  %7.2fx  (target <= 1.5x)\n", nExtract / nCopy);
    return 0;
}
