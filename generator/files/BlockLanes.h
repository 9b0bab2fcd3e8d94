#pragma once
// Computes the samples of an export block on the calling thread and, where
// there is a second core, on one helper thread: both take chunks of frames
// in turn while the calling thread's phase pass makes them ready. Each frame
// is computed on its own, so the bits do not depend on who computed it. A
// helper whose core is busy with other work is left out for a while.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "generator/synth/FrameBlock.h"
#include "generator/synth/SynthState.h"

namespace orv {

class BlockLanes {
public:
    explicit BlockLanes(bool helper);
    BlockLanes(const BlockLanes&) = delete;
    BlockLanes& operator=(const BlockLanes&) = delete;
    ~BlockLanes();

    // Advances s over `frames` frames and writes their samples to out.
    // meanwhile runs on the calling thread once the phases are done, while
    // the helper computes; its result is returned. Every sample is written
    // when Render returns or throws.
    [[nodiscard]] bool Render(SynthState& s, bool sweep, const BlockShape& shape, int32_t frames,
                              uint8_t* out, const std::function<bool()>& meanwhile);

private:
    struct Job {
        BlockShape Shape;
        const double* Phases = nullptr;
        uint8_t* Out = nullptr;
        int32_t Frames = 0;
        uint32_t Chunks = 0;
    };

    void Serve();
    // The next chunk of the block `seen` shows, if one is left.
    [[nodiscard]] bool Claim(uint64_t& seen, uint32_t& chunk);
    void Compute(uint32_t chunk);
    void Compute(int32_t from, int32_t to);  // once their phases are ready
    // Spins a while for the claim word to change; false when it did not.
    [[nodiscard]] bool WaitBriefly(uint64_t& seen);
    // Computes the chunks left and waits for the helper's.
    void FinishBlock();

    Job job_;
    std::unique_ptr<double[]> phases_;
    std::atomic<uint64_t> claim_{0};  // see ClaimWord
    std::atomic<int32_t> ready_{0};  // frames whose phases are written
    std::atomic<uint32_t> done_{0};  // chunks whose samples are written
    std::atomic<bool> stop_{false};
    uint32_t epoch_ = 0;
    int soloBlocks_ = 0;  // blocks the calling thread computes alone
    std::thread helper_;
};

}  // namespace orv
