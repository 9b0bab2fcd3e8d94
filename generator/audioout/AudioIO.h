#pragma once
// The generator's streaming output component: a ring of 2 to 4 PCM buffers
// that it asks its owner to fill and queues on a wave-out device. Everything
// here runs on the GUI thread; the device's notifications arrive through the
// event queue of a hidden callback object.
#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "generator/audioout/WaveOut.h"

namespace orv {

class TAudioOut;

// Buffer, Size (in/out: bytes; the value left is the buffer's length);
// true when the buffer holds audio to be played.
using TBufferEvent = std::function<bool(uint8_t* Buffer, int32_t& Size)>;
using TNotifyEvent = std::function<void(QObject* Sender)>;

class TAudioIO {
public:
    TAudioIO();
    virtual ~TAudioIO();
    TAudioIO(const TAudioIO&) = delete;
    TAudioIO& operator=(const TAudioIO&) = delete;

    int32_t BufferSize() const { return usableSize_; }
    void SetBufferSize(int32_t value);
    int32_t NumBuffers() const { return numBuffers_; }
    void SetNumBuffers(int32_t value);
    int32_t FrameRate() const { return static_cast<int32_t>(format_.SamplesPerSec); }
    void SetFrameRate(int32_t value);
    bool Stereo() const { return format_.Channels == 2; }
    void SetStereo(bool value);
    uint16_t Quantization() const { return format_.BitsPerSample; }
    void SetQuantization(uint16_t value);
    int32_t WaveDevice() const { return waveDevice_; }
    void SetWaveDevice(int32_t value) { waveDevice_ = value; }
    bool Paused() const { return paused_; }
    virtual void SetPaused(bool value);

    virtual void StopNow();
    virtual void StopWhenDrained();

    bool Running() const { return running_; }
    const std::string& ErrorText() const { return errorText_; }
    int32_t RequestedSize() const { return requestedSize_; }
    int32_t FilledCount() const { return filledCount_; }
    int32_t InFlight() const { return inFlight_; }
    int32_t DoneCount() const { return doneCount_; }
    const WaveFormat& Format() const { return format_; }

    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

protected:
    void UpdateFormat();
    bool AllocBuffers();
    void FreeBuffers();
    bool InitHeaders();

    int32_t usableSize_ = 0;
    int32_t requestedSize_ = 8192;
    int32_t numBuffers_ = 4;
    bool paused_ = false;
    WaveFormat format_;
    int32_t waveDevice_ = -1;
    std::array<WaveHeader, 4> headers_{};
    std::array<std::unique_ptr<uint8_t[]>, 4> buffers_;
    int32_t allocatedSize_ = 0;
    int32_t nextIndex_ = 0;
    bool keepFilling_ = false;
    std::string errorText_;
    bool running_ = false;
    int32_t filledCount_ = 0;
    int32_t inFlight_ = 0;
    int32_t doneCount_ = 0;
};

class TAudioOut : public TAudioIO {
public:
    explicit TAudioOut(WaveOutService& service);
    ~TAudioOut() override;

    // Opens the device, fills every buffer and queues them. On false,
    // ErrorText says why. Ref is the variable that holds this component.
    bool StartPlayback(TAudioOut** Ref);

    void StopNow() override;
    void StopWhenDrained() override;
    void SetPaused(bool value) override;
    bool DeviceOpen() const { return deviceOpen_; }

    TBufferEvent OnFillBuffer;

    // Notifications, called by the callback object on the GUI thread.
    void HandleOpen(QObject* sender);
    void HandleDone(QObject* sender);
    void HandleClose(QObject* sender);

protected:
    virtual bool RequestFill(int32_t Index, int32_t Size);
    virtual void CloseDevice();
    virtual bool OpenDevice(TAudioOut** Ref);

private:
    bool QueueAll();
    bool QueueBuffer();

    WaveOutService& service_;
    bool deviceOpen_ = false;
    WaveOutDevice* deviceHandle_ = nullptr;   // owned by the callback object
    class TCallBackWinOut* callbackWindow_ = nullptr;
};

}  // namespace orv
