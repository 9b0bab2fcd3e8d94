#include "generator/files/BlockLanes.h"

#include <algorithm>
#include <memory>

#include "generator/files/WaveFile.h"

namespace orv {

namespace {

constexpr int32_t kChunkFrames = 500;

// The claim word: block epoch, chunk count, next chunk to claim. The count
// travels with the epoch so that a claim never reads a job being replaced.
uint64_t ClaimWord(uint32_t epoch, uint32_t chunks, uint32_t next)
{
    return (uint64_t{epoch} << 32) | (uint64_t{chunks} << 16) | next;
}
uint32_t ChunksOf(uint64_t word) { return static_cast<uint32_t>((word >> 16) & 0xFFFFu); }
uint32_t NextOf(uint64_t word) { return static_cast<uint32_t>(word & 0xFFFFu); }

// Waits a little on the other thread before giving the core away: the
// waits last a chunk at most.
void Pause(int& spins)
{
    if (++spins < 64) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    } else {
        std::this_thread::yield();
    }
}

}  // namespace

BlockLanes::BlockLanes(bool helper) : phases_(new double[kProgressInterval])
{
    if (helper)
        helper_ = std::thread([this] { Serve(); });
}

BlockLanes::~BlockLanes()
{
    if (!helper_.joinable())
        return;
    stop_.store(true, std::memory_order_release);
    claim_.store(ClaimWord(epoch_ + 1, 0, 0), std::memory_order_release);
    claim_.notify_all();
    helper_.join();
}

bool BlockLanes::Claim(uint64_t& seen, uint32_t& chunk)
{
    while (NextOf(seen) < ChunksOf(seen)) {
        if (claim_.compare_exchange_weak(seen, seen + 1, std::memory_order_acq_rel)) {
            chunk = NextOf(seen);
            return true;
        }
    }
    return false;
}

void BlockLanes::Compute(uint32_t chunk)
{
    const int32_t from = static_cast<int32_t>(chunk) * kChunkFrames;
    const int32_t to = std::min(from + kChunkFrames, job_.Frames);
    int spins = 0;
    while (ready_.load(std::memory_order_acquire) < to)
        Pause(spins);
    BlockSamples(job_.Shape, job_.Phases, from, to, job_.Out);
    done_.fetch_add(1, std::memory_order_release);
}

void BlockLanes::Serve()
{
    // The job is read only after a claim succeeds: until that chunk is done
    // the calling thread cannot move on to the next block.
    uint64_t seen = claim_.load(std::memory_order_acquire);
    while (!stop_.load(std::memory_order_acquire)) {
        uint32_t chunk = 0;
        if (Claim(seen, chunk)) {
            Compute(chunk);
        } else {
            claim_.wait(seen, std::memory_order_acquire);
        }
        seen = claim_.load(std::memory_order_acquire);
    }
}

void BlockLanes::FinishBlock()
{
    uint64_t seen = claim_.load(std::memory_order_acquire);
    uint32_t chunk = 0;
    while (Claim(seen, chunk)) {
        Compute(chunk);
        seen = claim_.load(std::memory_order_acquire);
    }
    int spins = 0;
    while (done_.load(std::memory_order_acquire) < job_.Chunks)
        Pause(spins);
}

bool BlockLanes::Render(SynthState& s, bool sweep, const BlockShape& shape, int32_t frames,
                        uint8_t* out, const std::function<bool()>& meanwhile)
{
    frames = std::clamp<int32_t>(frames, 0, kProgressInterval);
    job_.Shape = shape;
    job_.Phases = phases_.get();
    job_.Out = out;
    job_.Frames = frames;
    job_.Chunks = static_cast<uint32_t>((frames + kChunkFrames - 1) / kChunkFrames);
    ready_.store(0, std::memory_order_relaxed);
    done_.store(0, std::memory_order_relaxed);
    ++epoch_;
    claim_.store(ClaimWord(epoch_, job_.Chunks, 0), std::memory_order_release);
    if (helper_.joinable())
        claim_.notify_one();

    // Whatever happens, no chunk is left for the helper to write later.
    struct Finish {
        BlockLanes& lanes;
        ~Finish() { lanes.FinishBlock(); }
    } finish{*this};

    for (int32_t at = 0; at < frames; at += kChunkFrames) {
        const int32_t n = std::min(kChunkFrames, frames - at);
        AdvancePhases(s, sweep, phases_.get() + at, n);
        ready_.store(at + n, std::memory_order_release);
    }
    return !meanwhile || meanwhile();
}

}  // namespace orv
