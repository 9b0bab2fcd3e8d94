#pragma once
// Rendering into memory and reading the samples back.
#include <cstdint>
#include <string>
#include <vector>

#include "generator/render/RenderJob.h"

namespace orv {

struct Rendered {
    RenderPlan Plan;
    RenderStatus Status = RenderStatus::WriteFailed;
    std::vector<uint8_t> Bytes;
};

Rendered RenderToBytes(const Walker& walk, int32_t rate, uint64_t noiseSeed = 7);
Walker MemoryWalker(const MemoryRecord& m, int32_t rate, char sep = '.');
Walker ScriptWalker(const std::string& text, int32_t rate, char sep = '.');

uint32_t U32(const std::vector<uint8_t>& b, size_t at);
uint16_t U16(const std::vector<uint8_t>& b, size_t at);
// The samples after the 44-byte header, interleaved in stereo.
std::vector<int16_t> Samples(const std::vector<uint8_t>& b);

}  // namespace orv
