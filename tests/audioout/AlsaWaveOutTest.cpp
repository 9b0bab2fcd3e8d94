#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "generator/audioout/AlsaWaveOut.h"
#include "generator/audioout/AudioIO.h"
#include "tests/audioout/QtSupport.h"

namespace orv {
namespace {

// A file plugin PCM writing to a file of this test alone.
class RawFile {
public:
    explicit RawFile(const std::string& tag)
        : path_("/tmp/orv-audioout-" + std::to_string(::getpid()) + "-" + tag + ".raw")
    {
        std::remove(path_.c_str());
    }
    ~RawFile() { std::remove(path_.c_str()); }
    std::string Pcm() const { return "file:'" + path_ + "',raw"; }
    std::vector<uint8_t> Bytes() const
    {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string path_;
};

// Records the notifications of one device opened directly on the service.
class Receiver : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != WaveOutEvent::EventType())
            return QObject::event(e);
        const auto* w = static_cast<WaveOutEvent*>(e);
        events.push_back(w->What);
        if (w->What == WaveNotification::Done)
            done.push_back(w->Header);
        return true;
    }
    int Count(WaveNotification what) const
    {
        return static_cast<int>(std::count(events.begin(), events.end(), what));
    }
    std::vector<WaveNotification> events;
    std::vector<WaveHeader*> done;
};

WaveFormat Format(uint16_t channels, uint16_t bits, uint32_t rate)
{
    WaveFormat f;
    f.Channels = channels;
    f.BitsPerSample = bits;
    f.SamplesPerSec = rate;
    f.BlockAlign = static_cast<uint16_t>(bits / 8 * channels);
    f.AvgBytesPerSec = f.BlockAlign * rate;
    return f;
}

TEST(AlsaWaveOut, ListsPlaybackDevicesByDescriptionAndTakesExplicitNames)
{
    const AlsaWaveOut hinted;
    ASSERT_EQ(hinted.DeviceNames().size(), hinted.PcmNames().size());
    for (const std::string& d : hinted.DeviceNames()) {
        EXPECT_FALSE(d.empty());
        EXPECT_EQ(d.find('\n'), std::string::npos) << d;
    }
    const auto& names = hinted.PcmNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "null"), names.end());

    const AlsaWaveOut given({"null", "file:'/tmp/a.raw',raw"});
    EXPECT_EQ(given.DeviceNames(), (std::vector<std::string>{"null", "file:'/tmp/a.raw',raw"}));
}

TEST(AlsaWaveOut, RejectsUnknownDevicesAndFormatsWithAlsaTexts)
{
    test::App();
    AlsaWaveOut alsa({"null"});
    Receiver receiver;
    std::unique_ptr<WaveOutDevice> device;
    const WaveResult noDevice = alsa.Open(1, Format(1, 16, 22050), 8192, &receiver, device);
    EXPECT_LT(noDevice, 0);
    EXPECT_EQ(alsa.ErrorText(noDevice), "No such device");
    const WaveResult badFormat = alsa.Open(0, Format(1, 16, 0), 8192, &receiver, device);
    EXPECT_LT(badFormat, 0);
    EXPECT_FALSE(alsa.ErrorText(badFormat).empty());
    EXPECT_EQ(device, nullptr);
    test::Deliver();
    EXPECT_TRUE(receiver.events.empty());
}

TEST(AlsaWaveOut, BuffersAboutOneWaveBufferOfItsOwn)
{
    test::App();
    RawFile file("latency");
    AlsaWaveOut alsa({"null", file.Pcm()});
    struct Case {
        WaveFormat format;
        int32_t bytes;
    };
    const std::vector<Case> cases{{Format(2, 16, 22050), 8192},
                                  {Format(1, 8, 44100), 4096},
                                  {Format(2, 16, 96000), 64536}};
    for (int id = 0; id < 2; ++id) {
        for (const Case& c : cases) {
            Receiver receiver;
            std::unique_ptr<WaveOutDevice> device;
            ASSERT_EQ(alsa.Open(id, c.format, c.bytes, &receiver, device), 0);
            AlsaBuffering b;
            ASSERT_TRUE(AlsaBufferingOf(*device, b));
            const unsigned long waveFrames = static_cast<unsigned long>(c.bytes) / c.format.BlockAlign;
            EXPECT_GT(b.BufferFrames, 0u);
            EXPECT_LE(b.BufferFrames, waveFrames + waveFrames / 4) << id << " " << c.bytes;
            EXPECT_LE(b.PeriodFrames, b.BufferFrames);
            EXPECT_EQ(device->Close(), 0);
            test::Deliver();
            ASSERT_EQ(receiver.events.size(), 2u);
            EXPECT_EQ(receiver.events.front(), WaveNotification::Open);
            EXPECT_EQ(receiver.events.back(), WaveNotification::Close);
        }
    }
}

// Three buffers of distinct sizes, each filled with its own byte.
struct ThreeBuffers {
    ThreeBuffers()
    {
        const uint32_t sizes[3] = {4000, 1000, 2402};
        for (int i = 0; i < 3; ++i) {
            data[i].assign(sizes[i], static_cast<uint8_t>(0x41 + i));
            headers[i].Data = data[i].data();
            headers[i].BufferLength = sizes[i];
        }
    }
    std::vector<uint8_t> data[3];
    WaveHeader headers[3];
};

TEST(AlsaWaveOut, PlaysWrittenBuffersInOrderAndClosesAfterTheLastDone)
{
    test::App();
    RawFile file("order");
    AlsaWaveOut alsa({file.Pcm()});
    Receiver receiver;
    std::unique_ptr<WaveOutDevice> device;
    ASSERT_EQ(alsa.Open(0, Format(1, 16, 22050), 4000, &receiver, device), 0);
    ThreeBuffers b;
    for (WaveHeader& h : b.headers) {
        ASSERT_EQ(device->Prepare(&h), 0);
        ASSERT_EQ(device->Write(&h), 0);
    }
    ASSERT_TRUE(test::WaitFor([&] { return receiver.done.size() == 3; }));
    EXPECT_EQ(receiver.done, (std::vector<WaveHeader*>{&b.headers[0], &b.headers[1], &b.headers[2]}));
    EXPECT_EQ(device->Close(), 0);
    EXPECT_NE(device->Write(&b.headers[0]), 0);  // closed for good
    test::Deliver();
    EXPECT_EQ(receiver.events.back(), WaveNotification::Close);
    EXPECT_EQ(receiver.Count(WaveNotification::Close), 1);

    std::vector<uint8_t> expected;
    for (const auto& d : b.data)
        expected.insert(expected.end(), d.begin(), d.end());
    EXPECT_EQ(file.Bytes(), expected);
}

TEST(AlsaWaveOut, ResetHandsBackEveryQueuedBufferAtOnceInOrder)
{
    test::App();
    AlsaWaveOut alsa({"null"});
    Receiver receiver;
    std::unique_ptr<WaveOutDevice> device;
    ASSERT_EQ(alsa.Open(0, Format(1, 16, 22050), 4000, &receiver, device), 0);
    ASSERT_EQ(device->Pause(), 0);  // nothing is played while paused
    ThreeBuffers b;
    for (WaveHeader& h : b.headers)
        ASSERT_EQ(device->Write(&h), 0);
    test::Deliver();
    EXPECT_TRUE(receiver.done.empty());
    ASSERT_EQ(device->Reset(), 0);
    test::Deliver();  // posted before Reset returned
    EXPECT_EQ(receiver.done, (std::vector<WaveHeader*>{&b.headers[0], &b.headers[1], &b.headers[2]}));
    EXPECT_EQ(device->Restart(), 0);
    EXPECT_EQ(device->Close(), 0);
    test::Deliver();
    EXPECT_EQ(receiver.done.size(), 3u);
    EXPECT_EQ(receiver.events.back(), WaveNotification::Close);
}

TEST(AlsaWaveOut, CloseHandsBackWhatIsStillQueued)
{
    test::App();
    AlsaWaveOut alsa({"null"});
    Receiver receiver;
    std::unique_ptr<WaveOutDevice> device;
    ASSERT_EQ(alsa.Open(0, Format(2, 16, 22050), 4000, &receiver, device), 0);
    ASSERT_EQ(device->Pause(), 0);
    ThreeBuffers b;
    for (WaveHeader& h : b.headers)
        ASSERT_EQ(device->Write(&h), 0);
    EXPECT_EQ(device->Close(), 0);
    device.reset();
    test::Deliver();
    EXPECT_EQ(receiver.done.size(), 3u);
    EXPECT_EQ(receiver.events.back(), WaveNotification::Close);
}

TEST(AlsaWaveOut, DefaultDeviceWithoutSoundCardFailsWithAlsaText)
{
    test::App();
    // A hang fails the test instead of blocking the run.
    auto result = std::make_shared<std::promise<std::pair<bool, std::string>>>();
    std::future<std::pair<bool, std::string>> answer = result->get_future();
    std::thread([result] {
        AlsaWaveOut alsa;
        TAudioOut out(alsa);
        TAudioOut* ref = &out;
        out.OnFillBuffer = [](uint8_t*, int32_t&) { return true; };
        const bool started = out.StartPlayback(&ref);
        out.StopNow();
        result->set_value({started, out.ErrorText()});
    }).detach();
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    const auto [started, text] = answer.get();
    if (started)
        GTEST_SKIP() << "a default playback device exists here";
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, "Success");
}

// A component on real ALSA whose fill writes a counting pattern and returns
// false after a set number of buffers.
class AlsaPlaybackTest : public ::testing::Test {
protected:
    void Play(const std::string& pcm, bool stereo, uint16_t bits, int32_t bufferSize, int buffers,
              int goodFills)
    {
        test::App();
        alsa = std::make_unique<AlsaWaveOut>(std::vector<std::string>{pcm});
        out = std::make_unique<TAudioOut>(*alsa);
        AudioOut1 = out.get();
        out->SetStereo(stereo);
        out->SetQuantization(bits);
        out->SetFrameRate(22050);
        out->SetNumBuffers(buffers);
        out->SetBufferSize(bufferSize);
        out->SetWaveDevice(0);
        out->OnStart = [this](QObject*) { ++starts; };
        out->OnStop = [this](QObject*) { ++stops; };
        out->OnFillBuffer = [this, goodFills](uint8_t* buffer, int32_t& size) {
            if (fills >= goodFills)
                return false;
            ++fills;
            for (int32_t i = 0; i < size; ++i)
                buffer[i] = static_cast<uint8_t>(counter++ * 7 + 3);
            produced.insert(produced.end(), buffer, buffer + size);
            return true;
        };
        ASSERT_TRUE(out->StartPlayback(&AudioOut1)) << out->ErrorText();
    }

    void TearDown() override
    {
        out.reset();
        test::Deliver();
    }

    std::unique_ptr<AlsaWaveOut> alsa;
    std::unique_ptr<TAudioOut> out;
    TAudioOut* AudioOut1 = nullptr;
    std::vector<uint8_t> produced;
    uint32_t counter = 0;
    int fills = 0;
    int starts = 0;
    int stops = 0;
};

TEST_F(AlsaPlaybackTest, ToneThroughTheFilePluginArrivesByteForByteAndEndsByItself)
{
    RawFile file("tone16");
    Play(file.Pcm(), true, 16, 4096, 4, 11);
    ASSERT_TRUE(test::WaitFor([this] { return stops > 0; }));
    test::Deliver();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(out->DeviceOpen());
    EXPECT_FALSE(out->Running());
    EXPECT_EQ(out->DoneCount(), 11);
    EXPECT_EQ(produced.size(), 11u * 4096);
    EXPECT_EQ(file.Bytes(), produced);
}

TEST_F(AlsaPlaybackTest, EightBitMonoThroughTheFilePlugin)
{
    RawFile file("tone8");
    Play(file.Pcm(), false, 8, 1000, 3, 5);
    ASSERT_TRUE(test::WaitFor([this] { return stops > 0; }));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(file.Bytes(), produced);
}

TEST_F(AlsaPlaybackTest, ToneToNullEndsByItself)
{
    Play("null", false, 16, 8192, 2, 20);
    ASSERT_TRUE(test::WaitFor([this] { return stops > 0; }));
    test::Deliver();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(out->DoneCount(), 20);
}

TEST_F(AlsaPlaybackTest, StartedPausedPlaysNothingUntilUnpaused)
{
    RawFile file("paused");
    test::App();
    // Paused before the start: the output begins paused.
    alsa = std::make_unique<AlsaWaveOut>(std::vector<std::string>{file.Pcm()});
    out = std::make_unique<TAudioOut>(*alsa);
    AudioOut1 = out.get();
    out->SetWaveDevice(0);
    out->SetPaused(true);
    out->OnStart = [this](QObject*) { ++starts; };
    out->OnStop = [this](QObject*) { ++stops; };
    out->OnFillBuffer = [this](uint8_t* buffer, int32_t& size) {
        if (fills >= 6)
            return false;
        ++fills;
        std::fill(buffer, buffer + size, static_cast<uint8_t>(fills));
        produced.insert(produced.end(), buffer, buffer + size);
        return true;
    };
    ASSERT_TRUE(out->StartPlayback(&AudioOut1)) << out->ErrorText();
    ASSERT_TRUE(test::WaitFor([this] { return starts == 1; }));
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(out->DoneCount(), 0);
    out->SetPaused(false);
    ASSERT_TRUE(test::WaitFor([this] { return stops > 0; }));
    EXPECT_EQ(out->DoneCount(), 6);
    EXPECT_EQ(file.Bytes(), produced);
}

TEST_F(AlsaPlaybackTest, StopNowWhilePlayingStopsOnceAndCountsNothingAfter)
{
    Play("null", true, 16, 4096, 4, 1 << 30);
    ASSERT_TRUE(test::WaitFor([this] { return out->DoneCount() >= 8; }));
    out->StopNow();
    EXPECT_FALSE(out->DeviceOpen());
    const int32_t done = out->DoneCount();
    ASSERT_TRUE(test::WaitFor([this] { return stops > 0; }));
    test::Deliver();
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(out->DoneCount(), done);

    // A new start on the same component works.
    ASSERT_TRUE(out->StartPlayback(&AudioOut1)) << out->ErrorText();
    ASSERT_TRUE(test::WaitFor([this] { return starts == 2 && out->DoneCount() >= 4; }));
    out->StopNow();
    ASSERT_TRUE(test::WaitFor([this] { return stops == 2; }));
}

TEST_F(AlsaPlaybackTest, PauseWhilePlayingHoldsTheOutputUntilUnpaused)
{
    Play("null", true, 16, 4096, 4, 1 << 30);
    ASSERT_TRUE(test::WaitFor([this] { return out->DoneCount() >= 8; }));
    out->SetPaused(true);
    EXPECT_EQ(out->ErrorText(), "");
    test::Deliver();  // what was played before the pause
    const int32_t done = out->DoneCount();
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(out->DoneCount(), done);
    EXPECT_TRUE(out->Running());
    out->SetPaused(false);
    EXPECT_EQ(out->ErrorText(), "");
    ASSERT_TRUE(test::WaitFor([this, done] { return out->DoneCount() >= done + 8; }));
    out->StopNow();
    ASSERT_TRUE(test::WaitFor([this] { return stops == 1; }));
}

TEST_F(AlsaPlaybackTest, DestroyingAPlayingComponentLeavesNoThreadBehind)
{
    Play("null", true, 16, 4096, 4, 1 << 30);
    ASSERT_TRUE(test::WaitFor([this] { return out->DoneCount() >= 4; }));
    out.reset();
    AudioOut1 = nullptr;
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(stops, 0);
}

}  // namespace
}  // namespace orv
