#include "generator/files/BlockLanes.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <system_error>

#include "generator/files/WaveFile.h"

namespace orv {

namespace {

constexpr int32_t kChunkFrames = 500;
constexpr auto kStall = std::chrono::microseconds(500);
constexpr int kSoloBlocks = 50;

// The claim word: block epoch, chunk count, next chunk to claim. The count
// travels with the epoch so that a claim never reads a job being replaced.
uint64_t ClaimWord(uint32_t epoch, uint32_t chunks, uint32_t next)
{
    return (uint64_t{epoch} << 32) | (uint64_t{chunks} << 16) | next;
}
uint32_t ChunksOf(uint64_t word) { return static_cast<uint32_t>((word >> 16) & 0xFFFFu); }
uint32_t NextOf(uint64_t word) { return static_cast<uint32_t>(word & 0xFFFFu); }

void CpuPause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Waits a little on the other thread before giving the core away: the
// waits last a chunk at most.
void Pause(int& spins)
{
    if (++spins < 64)
        CpuPause();
    else
        std::this_thread::yield();
}

}  // namespace

BlockLanes::BlockLanes(bool helper) : phases_(new double[kProgressInterval])
{
    if (!helper)
        return;
    try {
        helper_ = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
        // No thread to be had: the calling thread computes every block.
    }
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
    Compute(from, std::min(from + kChunkFrames, job_.Frames));
    done_.fetch_add(1, std::memory_order_release);
}

void BlockLanes::Compute(int32_t from, int32_t to)
{
    int spins = 0;
    while (ready_.load(std::memory_order_acquire) < to)
        Pause(spins);
    BlockSamples(job_.Shape, job_.Phases, from, to, job_.Out);
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
            seen = claim_.load(std::memory_order_acquire);
        } else if (!WaitBriefly(seen)) {
            // The render is between blocks for long (a progress window
            // busy, a slow sink): sleep until the next block.
            claim_.wait(seen, std::memory_order_acquire);
            seen = claim_.load(std::memory_order_acquire);
        }
    }
}

bool BlockLanes::WaitBriefly(uint64_t& seen)
{
    // The next block usually starts within microseconds; waking from a sleep
    // would take longer than computing half of it.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2);
    for (int spins = 0;;) {
        const uint64_t now = claim_.load(std::memory_order_acquire);
        if (now != seen) {
            seen = now;
            return true;
        }
        if (spins % 64 == 63 && std::chrono::steady_clock::now() > until)
            return false;
        Pause(spins);
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
    if (done_.load(std::memory_order_acquire) == job_.Chunks)
        return;
    const auto start = std::chrono::steady_clock::now();
    int spins = 0;
    while (done_.load(std::memory_order_acquire) < job_.Chunks)
        Pause(spins);
    // A helper that keeps the block waiting this long shares its core with
    // other work: the next blocks go faster without it.
    if (std::chrono::steady_clock::now() - start > kStall)
        soloBlocks_ = kSoloBlocks;
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
    const bool shared = helper_.joinable() && soloBlocks_ == 0;
    soloBlocks_ = std::max(soloBlocks_ - 1, 0);
    ++epoch_;
    claim_.store(ClaimWord(epoch_, shared ? job_.Chunks : 0, 0), std::memory_order_release);
    if (shared)
        claim_.notify_one();

    // Whatever happens, no chunk is left for the helper to write later.
    struct Finish {
        BlockLanes& lanes;
        bool shared;
        ~Finish()
        {
            if (shared)
                lanes.FinishBlock();
            else
                lanes.Compute(0, lanes.job_.Frames);
        }
    } finish{*this, shared};

    for (int32_t at = 0; at < frames; at += kChunkFrames) {
        const int32_t n = std::min(kChunkFrames, frames - at);
        AdvancePhases(s, sweep, phases_.get() + at, n);
        ready_.store(at + n, std::memory_order_release);
    }
    return !meanwhile || meanwhile();
}

}  // namespace orv
