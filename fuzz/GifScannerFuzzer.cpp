// libFuzzer target over one load's walk: count, then extract every frame.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "FrameSplit.h"

namespace {

[[noreturn]] void Fail(const char* pWhat, const std::string& detail)
{
    std::fprintf(stderr, "%s: %s\n", pWhat, detail.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > UINT32_MAX)
        return 0;
    // libFuzzer's buffer is already exactly sized, so AddressSanitizer sees
    // any read past its end.
    const uint32_t n = static_cast<uint32_t>(nSize);
    const FrameSplit whole = FrameSplit::Run(pData, n);
    const std::string problem = whole.Problem(pData, n);
    if (!problem.empty())
        Fail("split rule broken", problem);

    // Losing the last byte may lose the last frame, never change the others.
    if (n == 0)
        return 0;
    std::unique_ptr<uint8_t[]> pCut(new uint8_t[n - 1]);
    std::memcpy(pCut.get(), pData, n - 1);
    const FrameSplit cut = FrameSplit::Run(pCut.get(), n - 1);
    if (cut.nCounted > whole.nCounted || cut.frames.size() > whole.frames.size())
        Fail("cutting a byte added frames", std::to_string(cut.nCounted));
    for (size_t i = 0; i < cut.frames.size(); ++i)
    {
        if (cut.frames[i].bytes != whole.frames[i].bytes)
            Fail("cutting a byte changed frame", std::to_string(i));
    }
    return 0;
}
