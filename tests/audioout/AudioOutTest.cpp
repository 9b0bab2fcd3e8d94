#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "generator/audioout/AudioIO.h"
#include "generator/audioout/FakeWaveOut.h"
#include "tests/audioout/QtSupport.h"

namespace orv {
namespace {

// ------------------------------------------------------------- properties

TEST(AudioIOProperties, NewComponentHoldsFourBuffersOf8192BytesMono16At22050)
{
    FakeWaveOut fake;
    TAudioOut out(fake);
    EXPECT_EQ(out.NumBuffers(), 4);
    EXPECT_EQ(out.RequestedSize(), 8192);
    EXPECT_EQ(out.BufferSize(), 8192);
    EXPECT_EQ(out.AllocatedSize(), 8192);
    EXPECT_EQ(out.FrameRate(), 22050);
    EXPECT_FALSE(out.Stereo());
    EXPECT_EQ(out.Quantization(), 16);
    EXPECT_EQ(out.Format().BlockAlign, 2);
    EXPECT_EQ(out.Format().AvgBytesPerSec, 44100u);
    EXPECT_EQ(out.WaveDevice(), -1);
    EXPECT_FALSE(out.Paused());
    EXPECT_FALSE(out.Running());
    EXPECT_FALSE(out.DeviceOpen());
    EXPECT_EQ(out.ErrorText(), "");
}

struct BufferSizeCase {
    bool stereo;
    uint16_t bits;
    int32_t value;
    int32_t requested;
    int32_t usable;
};

class BufferSizeTest : public ::testing::TestWithParam<BufferSizeCase> {};

TEST_P(BufferSizeTest, RoundsTheRequestDownToWholeFramesAndAllocatesThatMuch)
{
    const BufferSizeCase c = GetParam();
    FakeWaveOut fake;
    TAudioOut out(fake);
    out.SetStereo(c.stereo);
    out.SetQuantization(c.bits);
    out.SetBufferSize(c.value);
    EXPECT_EQ(out.RequestedSize(), c.requested);
    EXPECT_EQ(out.BufferSize(), c.usable);
    EXPECT_EQ(out.AllocatedSize(), c.usable);
}

INSTANTIATE_TEST_SUITE_P(Cases, BufferSizeTest,
                         ::testing::Values(BufferSizeCase{true, 16, 100, 512, 512},
                                           BufferSizeCase{true, 16, 64536, 64536, 64536},
                                           BufferSizeCase{true, 16, 8190, 8190, 8188},
                                           BufferSizeCase{false, 16, 8191, 8191, 8190},
                                           BufferSizeCase{false, 8, 8191, 8191, 8191},
                                           BufferSizeCase{true, 8, 8191, 8191, 8190},
                                           BufferSizeCase{true, 16, -7, 512, 512}));

TEST(AudioIOProperties, NumBuffersIsClampedAndDoesNotReallocate)
{
    FakeWaveOut fake;
    TAudioOut out(fake);
    const std::vector<std::pair<int32_t, int32_t>> cases{{1, 2}, {7, 4}, {3, 3}, {-1, 2}, {4, 4}};
    for (const auto& [value, expected] : cases) {
        out.SetNumBuffers(value);
        EXPECT_EQ(out.NumBuffers(), expected) << value;
    }
    EXPECT_EQ(out.AllocatedSize(), 8192);
}

TEST(AudioIOProperties, QuantizationIsEightOrSixteen)
{
    FakeWaveOut fake;
    TAudioOut out(fake);
    out.SetStereo(true);
    const std::vector<std::pair<uint16_t, uint16_t>> cases{
        {12, 16}, {3, 8}, {8, 8}, {16, 16}, {0, 8}, {9, 16}, {65535, 16}};
    for (const auto& [value, expected] : cases) {
        out.SetQuantization(value);
        EXPECT_EQ(out.Quantization(), expected) << value;
        EXPECT_EQ(out.Format().BlockAlign, expected / 8 * 2) << value;
        EXPECT_EQ(out.Format().AvgBytesPerSec, expected / 8 * 2 * 22050u) << value;
    }
}

// ---------------------------------------------------------------- playback

// One component on the fake, its owner's handlers recording what happens.
class AudioOutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::App();
        AudioOut1 = new TAudioOut(fake);
        AudioOut1->OnStart = [this](QObject* sender) {
            log.push_back("start");
            startSender = sender;
        };
        AudioOut1->OnStop = [this](QObject* sender) {
            log.push_back("stop");
            stopSender = sender;
        };
        AudioOut1->OnFillBuffer = [this](uint8_t* buffer, int32_t& size) {
            ++fills;
            sizesAsked.push_back(size);
            bool result = true;
            if (!results.empty()) {
                result = results.front();
                results.pop_front();
            }
            if (result)
                log.push_back("fill");
            std::fill(buffer, buffer + size, static_cast<uint8_t>(fills));
            return result;
        };
    }

    void TearDown() override
    {
        delete AudioOut1;
        test::Deliver();
    }

    int Count(const std::string& entry) const
    {
        return static_cast<int>(std::count(log.begin(), log.end(), entry));
    }

    bool Start() { return AudioOut1->StartPlayback(&AudioOut1); }

    // Completes one buffer and delivers what follows from it.
    bool Complete()
    {
        const bool done = fake.CompleteOne();
        test::Deliver();
        return done;
    }

    FakeWaveOut fake;
    TAudioOut* AudioOut1 = nullptr;
    std::vector<std::string> log;
    std::deque<bool> results;  // fill results in order; true once used up
    std::vector<int32_t> sizesAsked;
    int fills = 0;
    QObject* startSender = nullptr;
    QObject* stopSender = nullptr;
};

TEST_F(AudioOutTest, StartOpensPreparesFillsAndQueuesEveryBuffer)
{
    ASSERT_TRUE(Start()) << AudioOut1->ErrorText();
    const std::vector<std::string> expected{"Open",    "Prepare", "Prepare", "Prepare", "Prepare",
                                            "Write",   "Write",   "Write",   "Write"};
    EXPECT_EQ(fake.Calls(), expected);
    EXPECT_EQ(fills, 4);
    EXPECT_EQ(fake.LastDeviceId(), -1);
    EXPECT_EQ(fake.LastBufferBytes(), 8192);
    ASSERT_EQ(fake.Written().size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(fake.Written()[i], std::vector<uint8_t>(8192, static_cast<uint8_t>(i + 1)));
    EXPECT_TRUE(AudioOut1->Running());
    EXPECT_TRUE(AudioOut1->DeviceOpen());
    EXPECT_EQ(AudioOut1->FilledCount(), 4);
    EXPECT_EQ(AudioOut1->InFlight(), 4);

    EXPECT_TRUE(log.size() == 4u && Count("start") == 0);  // the open notification comes later
    test::Deliver();
    EXPECT_EQ(Count("start"), 1);
    EXPECT_NE(startSender, nullptr);
}

TEST_F(AudioOutTest, EachDoneRefillsAndRequeuesTheNextRingBufferInOrder)
{
    ASSERT_TRUE(Start());
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(Complete());
    ASSERT_EQ(fake.WrittenHeaders().size(), 10u);
    for (size_t i = 4; i < 10; ++i)
        EXPECT_EQ(fake.WrittenHeaders()[i], fake.WrittenHeaders()[i % 4]) << i;
    EXPECT_EQ(AudioOut1->DoneCount(), 6);
    EXPECT_EQ(AudioOut1->FilledCount(), 10);
    EXPECT_EQ(AudioOut1->InFlight(), 4);
    EXPECT_EQ(fake.QueuedCount(), 4);
}

TEST_F(AudioOutTest, StartingTwiceFailsWithoutTouchingTheOpenDevice)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Start());
    EXPECT_EQ(AudioOut1->ErrorText(), "Wave output device is already open");
    EXPECT_EQ(fake.OpenCount(), 1);
    EXPECT_EQ(fake.Count("Write"), 4);
    EXPECT_TRUE(AudioOut1->Running());
}

TEST_F(AudioOutTest, FailedOpenReportsTheServiceTextAndSendsNoNotification)
{
    fake.SetErrorText(-16, "Device or resource busy");
    fake.FailOpen(-16);
    EXPECT_FALSE(Start());
    EXPECT_EQ(AudioOut1->ErrorText(), "Device or resource busy");
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    test::Deliver();
    EXPECT_TRUE(log.empty());

    EXPECT_TRUE(Start());  // the component is usable again
}

TEST_F(AudioOutTest, FailedPrepareClosesTheDeviceAndStillNotifiesStartThenStop)
{
    fake.SetErrorText(-22, "Invalid argument");
    fake.FailPrepare(-22);
    EXPECT_FALSE(Start());
    EXPECT_EQ(AudioOut1->ErrorText(), "Invalid argument");
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    EXPECT_FALSE(fake.IsOpen());
    EXPECT_EQ(fills, 0);
    test::Deliver();
    EXPECT_EQ(log, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(AudioOutTest, FirstFillFalseFailsTheStartAndClosesTheDevice)
{
    results = {false};
    EXPECT_FALSE(Start());
    EXPECT_EQ(AudioOut1->ErrorText(), "There must be at least one filled buffer");
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(fake.Count("Write"), 0);
    EXPECT_EQ(fake.Count("Close"), 1);
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    EXPECT_FALSE(AudioOut1->Running());
    test::Deliver();
    EXPECT_EQ(log, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(AudioOutTest, WithoutFillHandlerTheStartFails)
{
    AudioOut1->OnFillBuffer = nullptr;
    EXPECT_FALSE(Start());
    EXPECT_EQ(AudioOut1->ErrorText(), "There must be at least one filled buffer");
    EXPECT_FALSE(fake.IsOpen());
}

TEST_F(AudioOutTest, FirstWriteFailingFailsTheStartAndClosesTheDevice)
{
    fake.SetErrorText(-5, "Input/output error");
    fake.FailWrite(1, -5);
    EXPECT_FALSE(Start());
    EXPECT_EQ(AudioOut1->ErrorText(), "Input/output error");
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    EXPECT_FALSE(fake.IsOpen());
    test::Deliver();
    EXPECT_EQ(log.back(), "stop");
    EXPECT_EQ(Count("stop"), 1);
}

TEST_F(AudioOutTest, StartingPausedQueuesEverythingAndPlaysOnlyWhenUnpaused)
{
    AudioOut1->SetPaused(true);
    EXPECT_TRUE(fake.Calls().empty());  // while closed the value is only kept
    ASSERT_TRUE(Start());
    const auto& calls = fake.Calls();
    const auto pause = std::find(calls.begin(), calls.end(), "Pause");
    const auto write = std::find(calls.begin(), calls.end(), "Write");
    ASSERT_NE(pause, calls.end());
    EXPECT_LT(pause, write);
    EXPECT_EQ(fake.QueuedCount(), 4);
    EXPECT_TRUE(AudioOut1->Paused());
    test::Deliver();
    EXPECT_EQ(Count("start"), 1);
    EXPECT_FALSE(Complete());
    EXPECT_EQ(AudioOut1->DoneCount(), 0);

    AudioOut1->SetPaused(false);
    EXPECT_EQ(fake.Calls().back(), "Restart");
    EXPECT_TRUE(Complete());
    EXPECT_EQ(AudioOut1->DoneCount(), 1);
}

TEST_F(AudioOutTest, PauseWhilePlayingPausesTheDeviceAndCloseClearsIt)
{
    ASSERT_TRUE(Start());
    AudioOut1->SetPaused(true);
    EXPECT_EQ(fake.Calls().back(), "Pause");
    EXPECT_TRUE(fake.IsPaused());
    AudioOut1->StopNow();
    EXPECT_FALSE(AudioOut1->Paused());
    EXPECT_EQ(fake.Count("Restart"), 0);  // clearing it at close does not touch the device
}

TEST_F(AudioOutTest, FalseFillInSteadyStateDrainsTheOtherThreeThenStops)
{
    ASSERT_TRUE(Start());
    test::Deliver();
    results = {false, false, false, false};
    ASSERT_TRUE(Complete());
    EXPECT_EQ(fake.Count("Write"), 4);  // the false buffer is not queued
    EXPECT_TRUE(AudioOut1->Running());
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Complete());
        EXPECT_EQ(fake.Count("Close"), 0);
        EXPECT_EQ(Count("stop"), 0);
    }
    ASSERT_TRUE(Complete());
    EXPECT_EQ(fake.Count("Write"), 4);
    EXPECT_EQ(fake.Count("Close"), 1);
    EXPECT_FALSE(AudioOut1->Running());
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    EXPECT_EQ(fills, 8);  // asked again at each done while draining
    EXPECT_EQ(log.back(), "stop");
    EXPECT_EQ(Count("stop"), 1);
    EXPECT_EQ(stopSender, startSender);
}

TEST_F(AudioOutTest, FillTurningTrueAgainWhileDrainingResumes)
{
    ASSERT_TRUE(Start());
    results = {false, true};
    ASSERT_TRUE(Complete());
    ASSERT_TRUE(Complete());
    EXPECT_EQ(fake.Count("Write"), 5);
    EXPECT_EQ(fake.WrittenHeaders()[4], fake.WrittenHeaders()[0]);  // the same ring slot
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(Complete());
    EXPECT_TRUE(AudioOut1->Running());
    EXPECT_EQ(fake.Count("Close"), 0);
    EXPECT_EQ(fake.QueuedCount(), 3);
}

TEST_F(AudioOutTest, FillTurningTrueAtTheLastDoneKeepsPlaying)
{
    AudioOut1->SetNumBuffers(2);
    AudioOut1->SetBufferSize(4096);
    ASSERT_TRUE(Start());
    results = {false, true};
    ASSERT_TRUE(Complete());  // one left
    ASSERT_TRUE(Complete());  // none left, but the refill succeeded
    EXPECT_TRUE(AudioOut1->DeviceOpen());
    EXPECT_TRUE(AudioOut1->Running());
    EXPECT_EQ(fake.QueuedCount(), 1);
    results = {false};
    ASSERT_TRUE(Complete());
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    EXPECT_EQ(Count("stop"), 1);
}

TEST_F(AudioOutTest, FalseFillsAtTheStartAreQueuedAndCloseWaitsForAllOfThem)
{
    results = {true, false, false, false, false};
    ASSERT_TRUE(Start());
    EXPECT_EQ(fake.Count("Write"), 4);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Complete());
        EXPECT_TRUE(AudioOut1->DeviceOpen()) << i;
        EXPECT_EQ(fake.Count("Close"), 0) << i;
    }
    ASSERT_TRUE(Complete());
    EXPECT_EQ(fake.Count("Close"), 1);
    EXPECT_EQ(fake.Count("Close after close"), 0);
    EXPECT_EQ(Count("stop"), 1);
}

TEST_F(AudioOutTest, WriteFailureInSteadyStateDrainsAndStops)
{
    fake.SetErrorText(-5, "Input/output error");
    fake.FailWrite(5, -5);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Complete());
    EXPECT_EQ(AudioOut1->ErrorText(), "Input/output error");
    const int fillsAtFailure = fills;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Complete());
    EXPECT_EQ(fills, fillsAtFailure);
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    EXPECT_FALSE(AudioOut1->Running());
    EXPECT_EQ(Count("stop"), 1);
}

TEST_F(AudioOutTest, StopWhenDrainedPlaysWhatIsQueuedThenStops)
{
    ASSERT_TRUE(Start());
    AudioOut1->StopWhenDrained();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(Complete());
    EXPECT_EQ(fills, 4);
    EXPECT_EQ(fake.Count("Close"), 1);
    EXPECT_EQ(Count("stop"), 1);
}

TEST_F(AudioOutTest, StopNowResetsAndClosesAtOnceWithExactlyOneStop)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Complete());
    AudioOut1->StopNow();
    const std::vector<std::string> tail{"Reset", "Unprepare", "Unprepare", "Unprepare",
                                        "Unprepare", "Close"};
    ASSERT_GE(fake.Calls().size(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), fake.Calls().end() - tail.size()));
    EXPECT_FALSE(AudioOut1->Running());
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    const int fillsAtStop = fills;
    test::Deliver();
    EXPECT_EQ(fills, fillsAtStop);  // the handed-back buffers are not refilled
    EXPECT_EQ(Count("stop"), 1);
    EXPECT_EQ(log.back(), "stop");
    AudioOut1->StopNow();
    test::Deliver();
    EXPECT_EQ(Count("stop"), 1);
    EXPECT_EQ(fake.Count("Close"), 1);
}

TEST_F(AudioOutTest, RestartBeforeTheOldNotificationsArriveKeepsTheOpensApart)
{
    ASSERT_TRUE(Start());
    AudioOut1->StopNow();
    ASSERT_TRUE(Start()) << AudioOut1->ErrorText();
    test::Deliver();
    EXPECT_EQ(log.back(), "start");
    EXPECT_EQ(Count("start"), 2);
    EXPECT_EQ(Count("stop"), 1);
    EXPECT_EQ(AudioOut1->DoneCount(), 0);  // the old open's buffers were not counted
    EXPECT_EQ(AudioOut1->InFlight(), 4);
    ASSERT_TRUE(Complete());
    EXPECT_EQ(AudioOut1->DoneCount(), 1);
    EXPECT_TRUE(AudioOut1->Running());
}

TEST_F(AudioOutTest, FillHandlerStoppingTheOutputEndsItOnce)
{
    ASSERT_TRUE(Start());
    AudioOut1->OnFillBuffer = [this](uint8_t*, int32_t&) {
        AudioOut1->StopNow();
        return true;
    };
    ASSERT_TRUE(Complete());
    EXPECT_FALSE(AudioOut1->DeviceOpen());
    EXPECT_EQ(fake.Count("Close"), 1);
    EXPECT_EQ(fake.Count("Write"), 4);
    EXPECT_EQ(Count("stop"), 1);
}

TEST_F(AudioOutTest, HandlerSizeIsClampedToTheBuffer)
{
    const std::vector<std::pair<int32_t, size_t>> cases{{1 << 30, 8192}, {-5, 0}, {100, 100}};
    for (const auto& [left, expected] : cases) {
        AudioOut1->OnFillBuffer = [left](uint8_t*, int32_t& size) {
            size = left;
            return true;
        };
        ASSERT_TRUE(Start());
        EXPECT_EQ(fake.Written().back().size(), expected) << left;
        AudioOut1->StopNow();
        test::Deliver();
    }
}

TEST_F(AudioOutTest, FormatChangeWhilePlayingNeverAsksForMoreThanTheBufferHolds)
{
    AudioOut1->SetStereo(true);
    AudioOut1->SetBufferSize(8190);  // 8188 bytes allocated
    ASSERT_TRUE(Start());
    AudioOut1->SetStereo(false);     // usable 8190 now
    AudioOut1->SetBufferSize(65536); // not reallocated while the device holds the ring
    EXPECT_EQ(AudioOut1->AllocatedSize(), 8188);
    ASSERT_TRUE(Complete());
    EXPECT_LE(sizesAsked.back(), 8188);
    EXPECT_EQ(fake.Written().back().size(), 8188u);

    AudioOut1->StopNow();
    test::Deliver();
    ASSERT_TRUE(Start());  // the next open rebuilds the ring
    EXPECT_EQ(AudioOut1->AllocatedSize(), 65536);
    EXPECT_EQ(sizesAsked.back(), 65536);
}

TEST_F(AudioOutTest, MoreBuffersThanAllocatedAreAllocatedAtTheOpen)
{
    AudioOut1->SetNumBuffers(2);
    AudioOut1->SetBufferSize(4096);
    AudioOut1->SetNumBuffers(4);
    ASSERT_TRUE(Start());
    EXPECT_EQ(fake.Count("Write"), 4);
    const auto& headers = fake.WrittenHeaders();
    for (WaveHeader* h : headers)
        EXPECT_NE(h->Data, nullptr);
    EXPECT_EQ(fake.Written().back(), std::vector<uint8_t>(4096, 4));
}

TEST_F(AudioOutTest, NumBuffersChangedWhilePlayingTakesEffectAtTheNextOpen)
{
    AudioOut1->SetNumBuffers(2);
    AudioOut1->SetBufferSize(4096);
    ASSERT_TRUE(Start());
    AudioOut1->SetNumBuffers(4);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Complete());
    EXPECT_EQ(fake.QueuedCount(), 2);
    for (WaveHeader* h : fake.WrittenHeaders())
        EXPECT_NE(h->Data, nullptr);
}

TEST_F(AudioOutTest, DestroyingAPlayingComponentStopsTheDeviceSilently)
{
    ASSERT_TRUE(Start());
    delete AudioOut1;
    AudioOut1 = nullptr;
    EXPECT_FALSE(fake.IsOpen());
    EXPECT_EQ(fake.Count("Reset"), 1);
    EXPECT_EQ(fake.Count("Close"), 1);
    test::Deliver();  // nothing left to deliver to
    EXPECT_EQ(Count("start"), 0);
    EXPECT_EQ(Count("stop"), 0);
}

}  // namespace
}  // namespace orv
