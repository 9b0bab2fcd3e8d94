#include "generator/audioout/FakeWaveOut.h"

#include <QCoreApplication>

#include <algorithm>

namespace orv {

// Forwards to the service while its open lasts; calls after Close are
// recorded and refused.
class FakeWaveOut::Device : public WaveOutDevice {
public:
    Device(FakeWaveOut& owner, int open) : owner_(owner), open_(open) {}
    WaveResult Prepare(WaveHeader* h) override { return Live("Prepare") ? owner_.Prepare(h) : kClosed; }
    WaveResult Write(WaveHeader* h) override { return Live("Write") ? owner_.Write(h) : kClosed; }
    WaveResult Pause() override { return Live("Pause") ? owner_.Pause() : kClosed; }
    WaveResult Restart() override { return Live("Restart") ? owner_.Restart() : kClosed; }
    WaveResult Reset() override { return Live("Reset") ? owner_.Reset() : kClosed; }
    WaveResult Unprepare(WaveHeader* h) override { return Live("Unprepare") ? owner_.Unprepare(h) : kClosed; }
    WaveResult Close() override { return Live("Close") ? owner_.Close() : kClosed; }

private:
    static constexpr WaveResult kClosed = -9;
    bool Live(const char* call)
    {
        if (owner_.open_ && owner_.opens_ == open_)
            return true;
        owner_.calls_.push_back(std::string(call) + " after close");
        return false;
    }
    FakeWaveOut& owner_;
    int open_;
};

WaveResult FakeWaveOut::Open(int deviceId, const WaveFormat& format, int32_t bufferBytes,
                             QObject* receiver, std::unique_ptr<WaveOutDevice>& device)
{
    calls_.push_back("Open");
    lastDeviceId_ = deviceId;
    lastFormat_ = format;
    lastBufferBytes_ = bufferBytes;
    if (openFailure_ != kWaveOk) {
        const WaveResult code = openFailure_;
        openFailure_ = kWaveOk;
        return code;
    }
    ++opens_;
    open_ = true;
    paused_ = false;
    writesThisOpen_ = 0;
    queue_.clear();
    receiver_ = receiver;
    device = std::make_unique<Device>(*this, opens_);
    Post(WaveNotification::Open, nullptr);
    return kWaveOk;
}

std::string FakeWaveOut::ErrorText(WaveResult code) const
{
    const auto it = texts_.find(code);
    return it != texts_.end() ? it->second : "Fake error " + std::to_string(code);
}

bool FakeWaveOut::CompleteOne()
{
    if (!open_ || paused_ || queue_.empty())
        return false;
    WaveHeader* header = queue_.front();
    queue_.pop_front();
    Post(WaveNotification::Done, header);
    return true;
}

int FakeWaveOut::Count(const std::string& call) const
{
    return static_cast<int>(std::count(calls_.begin(), calls_.end(), call));
}

WaveResult FakeWaveOut::Prepare(WaveHeader*)
{
    calls_.push_back("Prepare");
    return prepareFailure_;
}

WaveResult FakeWaveOut::Write(WaveHeader* header)
{
    calls_.push_back("Write");
    const auto failure = writeFailures_.find(++writesThisOpen_);
    if (failure != writeFailures_.end())
        return failure->second;
    written_.emplace_back(header->Data, header->Data + header->BufferLength);
    writtenHeaders_.push_back(header);
    queue_.push_back(header);
    return kWaveOk;
}

WaveResult FakeWaveOut::Pause()
{
    calls_.push_back("Pause");
    paused_ = true;
    return kWaveOk;
}

WaveResult FakeWaveOut::Restart()
{
    calls_.push_back("Restart");
    paused_ = false;
    return kWaveOk;
}

WaveResult FakeWaveOut::Reset()
{
    calls_.push_back("Reset");
    while (!queue_.empty()) {
        Post(WaveNotification::Done, queue_.front());
        queue_.pop_front();
    }
    return kWaveOk;
}

WaveResult FakeWaveOut::Unprepare(WaveHeader*)
{
    calls_.push_back("Unprepare");
    return kWaveOk;
}

WaveResult FakeWaveOut::Close()
{
    calls_.push_back("Close");
    while (!queue_.empty()) {
        Post(WaveNotification::Done, queue_.front());
        queue_.pop_front();
    }
    Post(WaveNotification::Close, nullptr);
    open_ = false;
    paused_ = false;
    return kWaveOk;
}

void FakeWaveOut::Post(WaveNotification what, WaveHeader* header)
{
    QCoreApplication::postEvent(receiver_, new WaveOutEvent(what, header));
}

}  // namespace orv
