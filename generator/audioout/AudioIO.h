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
    static constexpr int kMaxBuffers = 4;

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
    // Bytes each allocated buffer holds (0 when none are allocated).
    int32_t AllocatedSize() const { return allocatedSize_; }

    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

protected:
    void UpdateFormat();
    bool AllocHeaders();
    void FreeHeaders();
    bool AllocBuffers();
    void FreeBuffers();
    bool InitHeaders();
    // The most a fill may deliver: the usable size, but never more than the
    // allocated buffers hold in whole frames of the current format.
    int32_t FillSize() const;
    // True when NumBuffers buffers of the usable size are allocated.
    bool RingFits() const;
    // While a device holds the buffers they must not be reallocated.
    virtual bool BuffersInUse() const { return false; }

    int32_t usableSize_ = 0;
    int32_t requestedSize_ = 8192;
    int32_t numBuffers_ = 4;
    bool paused_ = false;
    WaveFormat format_;
    int32_t waveDevice_ = -1;
    std::unique_ptr<WaveHeader[]> headers_;
    std::array<std::unique_ptr<uint8_t[]>, kMaxBuffers> buffers_;
    int32_t allocatedSize_ = 0;
    int32_t nextIndex_ = 0;
    bool keepFilling_ = false;
    std::string errorText_;
    bool running_ = false;
    int32_t filledCount_ = 0;
    int32_t inFlight_ = 0;
    int32_t doneCount_ = 0;
};

// Receives the device's notifications of one open on the GUI thread and
// hands them to the component held by *OwnerRef.
class TCallBackWinOut : public QObject {
public:
    explicit TCallBackWinOut(TAudioOut** ownerRef);
    ~TCallBackWinOut() override;

    TAudioOut** OwnerRef;
    // The device of this open; released once its Close has been delivered.
    std::unique_ptr<WaveOutDevice> Device;
    bool CloseDelivered() const { return closeDelivered_; }
    bool Dispatching() const { return dispatching_ > 0; }

protected:
    bool event(QEvent* e) override;

private:
    bool openSeen_ = false;
    bool closeSeen_ = false;
    bool closeDelivered_ = false;
    int dispatching_ = 0;
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
    // Buffers written to the device and not yet handed back.
    int32_t Queued() const { return queued_; }

    TBufferEvent OnFillBuffer;

    // Notifications, called by the callback object on the GUI thread.
    void HandleOpen(QObject* sender);
    void HandleDone(QObject* sender);
    void HandleClose(QObject* sender);

protected:
    virtual bool RequestFill(int32_t Index, int32_t Size);
    virtual void CloseDevice();
    virtual bool OpenDevice(TAudioOut** Ref);
    bool BuffersInUse() const override { return deviceOpen_; }

private:
    bool QueueAll();
    bool QueueBuffer();
    std::string WaveErrorText(WaveResult code) const;
    void DropFinishedCallbacks();

    WaveOutService& service_;
    bool deviceOpen_ = false;
    WaveOutDevice* deviceHandle_ = nullptr;   // owned by CallbackWindow
    TCallBackWinOut* callbackWindow_ = nullptr;
    // Callback objects of this and earlier opens, each kept until its
    // Close notification has been delivered.
    std::vector<std::unique_ptr<TCallBackWinOut>> callbacks_;
    int32_t queued_ = 0;
    int32_t ringSize_ = 0;   // NumBuffers as it was at the open
    TAudioOut* self_ = this;
};

}  // namespace orv
