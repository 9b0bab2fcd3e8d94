#include "RenderTestSupport.h"

namespace orv {

Rendered RenderToBytes(const Walker& walk, int32_t rate, uint64_t noiseSeed)
{
    Rendered r;
    r.Plan = PlanRender(walk, rate);
    if (!r.Plan.ok())
        return r;
    NoiseSource noise(noiseSeed);
    const ByteSink sink = [&r](const uint8_t* data, size_t size) {
        r.Bytes.insert(r.Bytes.end(), data, data + size);
        return true;
    };
    r.Status = WriteRender(walk, r.Plan, sink, noise, [] { return true; });
    return r;
}

Walker MemoryWalker(const MemoryRecord& m, int32_t rate, char sep)
{
    return [m, rate, sep](const SegmentVisitor& visit) { return WalkMemory(m, rate, sep, visit); };
}

Walker ScriptWalker(const std::string& text, int32_t rate, char sep)
{
    return [text, rate, sep](const SegmentVisitor& visit) { return WalkScript(text, rate, sep, visit); };
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

std::vector<int16_t> Samples(const std::vector<uint8_t>& b)
{
    std::vector<int16_t> out;
    for (size_t i = 44; i + 1 < b.size(); i += 2)
        out.push_back(static_cast<int16_t>(U16(b, i)));
    return out;
}

}  // namespace orv
