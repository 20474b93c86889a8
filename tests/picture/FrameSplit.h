#ifndef VELODUSK_TESTS_PICTURE_FRAMESPLIT_H
#define VELODUSK_TESTS_PICTURE_FRAMESPLIT_H

#include <cstdint>
#include <string>
#include <vector>

#include "GifFrame.h"

// One load's worth of scanning, as the picture control does it: count, then
// extract until the splitter stops. Shared by the unit tests, the fuzzer and
// the cross-check so that all three hold the splitter to the same rules.
class FrameSplit
{
public:
    struct Frame
    {
        std::vector<uint8_t> bytes;
        GifFrame record;
    };

    static FrameSplit Run(const uint8_t* pData, uint32_t nSize);

    // Empty when every rule holds for data that the split was run over:
    // as many frames as counted, each one starting with the source's header
    // and colour table, ending in a trailer and splitting again into itself.
    std::string Problem(const uint8_t* pData, uint32_t nSize) const;

    bool bGif = false;
    int nCounted = 0;
    int32_t nScreenWidth = 0;
    int32_t nScreenHeight = 0;
    std::vector<Frame> frames;
};

#endif
