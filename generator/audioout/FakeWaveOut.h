#pragma once
// A deterministic wave-out service for tests: it records every call in
// order, keeps written buffers queued until the test completes them one at a
// time, and posts the same notifications a real device would.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "generator/audioout/WaveOut.h"

namespace orv {

class FakeWaveOut : public WaveOutService {
public:
    WaveResult Open(int deviceId, const WaveFormat& format, int32_t bufferBytes,
                    QObject* receiver, std::unique_ptr<WaveOutDevice>& device) override;
    std::string ErrorText(WaveResult code) const override;
    std::vector<std::string> DeviceNames() const override { return Devices; }

    // The next Open fails with code.
    void FailOpen(WaveResult code) { openFailure_ = code; }
    // Every Prepare fails with code.
    void FailPrepare(WaveResult code) { prepareFailure_ = code; }
    // The nth Write (counted from 1 in each open) fails with code.
    void FailWrite(int nth, WaveResult code) { writeFailures_[nth] = code; }
    void SetErrorText(WaveResult code, std::string text) { texts_[code] = std::move(text); }

    // Plays the oldest queued buffer and posts its Done. False when nothing
    // is queued, the device is paused or it is closed.
    bool CompleteOne();

    // "Open", "Prepare", "Write", "Pause", "Restart", "Reset", "Unprepare",
    // "Close", in the order the device saw them.
    const std::vector<std::string>& Calls() const { return calls_; }
    int Count(const std::string& call) const;
    // The bytes of every written buffer, in write order.
    const std::vector<std::vector<uint8_t>>& Written() const { return written_; }
    const std::vector<WaveHeader*>& WrittenHeaders() const { return writtenHeaders_; }
    int QueuedCount() const { return static_cast<int>(queue_.size()); }
    bool IsOpen() const { return open_; }
    bool IsPaused() const { return paused_; }
    int OpenCount() const { return opens_; }
    int LastDeviceId() const { return lastDeviceId_; }
    const WaveFormat& LastFormat() const { return lastFormat_; }
    int32_t LastBufferBytes() const { return lastBufferBytes_; }

    std::vector<std::string> Devices{"Fake device"};

private:
    class Device;
    friend class Device;

    WaveResult Prepare(WaveHeader* header);
    WaveResult Write(WaveHeader* header);
    WaveResult Pause();
    WaveResult Restart();
    WaveResult Reset();
    WaveResult Unprepare(WaveHeader* header);
    WaveResult Close();
    void Post(WaveNotification what, WaveHeader* header);

    std::vector<std::string> calls_;
    std::vector<std::vector<uint8_t>> written_;
    std::vector<WaveHeader*> writtenHeaders_;
    std::deque<WaveHeader*> queue_;
    QObject* receiver_ = nullptr;
    bool open_ = false;
    bool paused_ = false;
    int opens_ = 0;
    int writesThisOpen_ = 0;
    int lastDeviceId_ = 0;
    WaveFormat lastFormat_;
    int32_t lastBufferBytes_ = 0;
    WaveResult openFailure_ = kWaveOk;
    WaveResult prepareFailure_ = kWaveOk;
    std::map<int, WaveResult> writeFailures_;
    std::map<WaveResult, std::string> texts_;
};

}  // namespace orv
