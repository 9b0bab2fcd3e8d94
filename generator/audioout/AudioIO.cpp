#include "generator/audioout/AudioIO.h"

#include <algorithm>
#include <new>

namespace orv {

// ---------------------------------------------------------------- TAudioIO

TAudioIO::TAudioIO()
{
    UpdateFormat();
    AllocHeaders();
    AllocBuffers();
}

TAudioIO::~TAudioIO()
{
    FreeBuffers();
    FreeHeaders();
}

void TAudioIO::SetBufferSize(int32_t value)
{
    requestedSize_ = std::max(value, int32_t{512});
    UpdateFormat();
    if (BuffersInUse())
        return;  // reallocated at the next open; fills are clamped meanwhile
    FreeBuffers();
    AllocBuffers();
}

void TAudioIO::SetNumBuffers(int32_t value)
{
    numBuffers_ = std::clamp(value, int32_t{2}, int32_t{kMaxBuffers});
}

void TAudioIO::SetFrameRate(int32_t value)
{
    format_.SamplesPerSec = static_cast<uint32_t>(std::max(value, int32_t{0}));
    UpdateFormat();
}

void TAudioIO::SetStereo(bool value)
{
    format_.Channels = value ? 2 : 1;
    UpdateFormat();
}

void TAudioIO::SetQuantization(uint16_t value)
{
    format_.BitsPerSample = value <= 8 ? 8 : 16;
    UpdateFormat();
}

void TAudioIO::SetPaused(bool value)
{
    paused_ = value;
}

void TAudioIO::StopNow()
{
    running_ = false;
    keepFilling_ = false;
}

void TAudioIO::StopWhenDrained()
{
    keepFilling_ = false;
}

void TAudioIO::UpdateFormat()
{
    format_.BlockAlign = static_cast<uint16_t>(format_.BitsPerSample / 8 * format_.Channels);
    format_.AvgBytesPerSec = format_.BlockAlign * format_.SamplesPerSec;
    usableSize_ = requestedSize_ - requestedSize_ % format_.BlockAlign;
}

bool TAudioIO::AllocHeaders()
{
    try {
        headers_ = std::make_unique<WaveHeader[]>(kMaxBuffers);
    } catch (const std::bad_alloc&) {
        FreeHeaders();
        errorText_ = "Error allocating wave header memory";
        return false;
    }
    for (int i = 0; i < kMaxBuffers; ++i)
        headers_[i].Data = buffers_[i].get();
    return true;
}

void TAudioIO::FreeHeaders()
{
    headers_.reset();
}

bool TAudioIO::AllocBuffers()
{
    try {
        for (int i = 0; i < numBuffers_; ++i)
            buffers_[i] = std::make_unique<uint8_t[]>(static_cast<size_t>(usableSize_));
    } catch (const std::bad_alloc&) {
        FreeBuffers();
        errorText_ = "Error allocating wave buffer memory";
        return false;
    }
    allocatedSize_ = usableSize_;
    if (headers_) {
        for (int i = 0; i < kMaxBuffers; ++i)
            headers_[i].Data = buffers_[i].get();
    }
    return true;
}

void TAudioIO::FreeBuffers()
{
    for (int i = 0; i < kMaxBuffers; ++i) {
        buffers_[i].reset();
        if (headers_)
            headers_[i].Data = nullptr;
    }
    allocatedSize_ = 0;
}

bool TAudioIO::InitHeaders()
{
    UpdateFormat();
    if (!headers_)
        return false;
    for (int i = 0; i < numBuffers_; ++i) {
        headers_[i] = WaveHeader{};
        headers_[i].Data = buffers_[i].get();
        headers_[i].BufferLength = static_cast<uint32_t>(FillSize());
    }
    return true;
}

int32_t TAudioIO::FillSize() const
{
    const int32_t whole = allocatedSize_ - allocatedSize_ % format_.BlockAlign;
    return std::min(usableSize_, whole);
}

bool TAudioIO::RingFits() const
{
    if (!headers_ || allocatedSize_ < usableSize_)
        return false;
    for (int i = 0; i < numBuffers_; ++i) {
        if (!buffers_[i])
            return false;
    }
    return true;
}

// --------------------------------------------------------- TCallBackWinOut

TCallBackWinOut::TCallBackWinOut(TAudioOut** ownerRef) : OwnerRef(ownerRef) {}

TCallBackWinOut::~TCallBackWinOut()
{
    // Stops the backend before the QObject goes, so nothing posts to it.
    Device.reset();
}

bool TCallBackWinOut::event(QEvent* e)
{
    if (e->type() != WaveOutEvent::EventType())
        return QObject::event(e);
    const auto* w = static_cast<WaveOutEvent*>(e);
    TAudioOut* owner = OwnerRef ? *OwnerRef : nullptr;
    ++dispatching_;
    switch (w->What) {
    case WaveNotification::Open:
        if (!openSeen_ && !closeSeen_) {
            openSeen_ = true;
            if (owner)
                owner->HandleOpen(this);
        }
        break;
    case WaveNotification::Done:
        if (!closeSeen_ && owner)
            owner->HandleDone(this);
        break;
    case WaveNotification::Close:
        if (!closeSeen_) {
            closeSeen_ = true;
            if (owner)
                owner->HandleClose(this);
            closeDelivered_ = true;
        }
        break;
    }
    --dispatching_;
    return true;
}

// --------------------------------------------------------------- TAudioOut

TAudioOut::TAudioOut(WaveOutService& service) : service_(service) {}

TAudioOut::~TAudioOut()
{
    // The owner should have stopped the output; if not, stop the device
    // without notifying anyone, so no backend outlives its receiver.
    if (deviceOpen_) {
        running_ = false;
        keepFilling_ = false;
        deviceHandle_->Reset();
        for (int i = 0; i < ringSize_; ++i)
            deviceHandle_->Unprepare(&headers_[i]);
        deviceHandle_->Close();
        deviceOpen_ = false;
        deviceHandle_ = nullptr;
    }
    callbackWindow_ = nullptr;
    callbacks_.clear();
}

bool TAudioOut::StartPlayback(TAudioOut** Ref)
{
    if (!OpenDevice(Ref))
        return false;
    return QueueAll();
}

void TAudioOut::StopNow()
{
    if (!deviceOpen_)
        return;
    running_ = false;
    keepFilling_ = false;
    deviceHandle_->Reset();
    CloseDevice();
}

void TAudioOut::StopWhenDrained()
{
    if (deviceOpen_)
        keepFilling_ = false;
}

void TAudioOut::SetPaused(bool value)
{
    paused_ = value;
    if (!running_ || !deviceOpen_)
        return;
    const WaveResult code = value ? deviceHandle_->Pause() : deviceHandle_->Restart();
    if (code != kWaveOk)
        errorText_ = WaveErrorText(code);
}

bool TAudioOut::OpenDevice(TAudioOut** Ref)
{
    if (deviceOpen_) {
        errorText_ = "Wave output device is already open";
        return false;
    }
    DropFinishedCallbacks();
    // A ring that no longer matches NumBuffers or the format is rebuilt here,
    // while no device holds it.
    if (!headers_ && !AllocHeaders())
        return false;
    if (!RingFits()) {
        FreeBuffers();
        if (!AllocBuffers())
            return false;
    }
    nextIndex_ = 0;
    ringSize_ = numBuffers_;

    auto callback = std::make_unique<TCallBackWinOut>(Ref ? Ref : &self_);
    const WaveResult opened =
        service_.Open(waveDevice_, format_, FillSize(), callback.get(), callback->Device);
    if (opened != kWaveOk || !callback->Device) {
        errorText_ = WaveErrorText(opened);
        return false;
    }
    callbackWindow_ = callback.get();
    deviceHandle_ = callback->Device.get();
    callbacks_.push_back(std::move(callback));

    deviceOpen_ = true;
    queued_ = 0;
    InitHeaders();
    for (int i = 0; i < ringSize_; ++i) {
        const WaveResult code = deviceHandle_->Prepare(&headers_[i]);
        if (code != kWaveOk) {
            errorText_ = WaveErrorText(code);
            CloseDevice();
            return false;
        }
    }
    inFlight_ = 0;
    doneCount_ = 0;
    filledCount_ = 0;
    keepFilling_ = true;
    running_ = true;
    if (!RequestFill(0, FillSize())) {
        CloseDevice();
        errorText_ = "There must be at least one filled buffer";
        return false;
    }
    for (int i = 1; i < ringSize_; ++i)
        RequestFill(i, FillSize());
    return true;
}

bool TAudioOut::QueueAll()
{
    if (!deviceOpen_)
        return false;  // the owner stopped the output from its fill handler
    running_ = true;
    if (paused_) {
        const WaveResult code = deviceHandle_->Pause();
        if (code != kWaveOk) {
            errorText_ = WaveErrorText(code);
            CloseDevice();
            return false;
        }
    }
    if (!QueueBuffer()) {
        CloseDevice();
        return false;
    }
    for (int i = 1; i < ringSize_; ++i)
        QueueBuffer();
    return true;
}

bool TAudioOut::QueueBuffer()
{
    if (!deviceOpen_)
        return false;
    WaveHeader& header = headers_[nextIndex_];
    header.Flags = kHeaderPrepared;
    const WaveResult code = deviceHandle_->Write(&header);
    if (code != kWaveOk) {
        errorText_ = WaveErrorText(code);
        StopWhenDrained();
        return false;
    }
    ++queued_;
    nextIndex_ = (nextIndex_ + 1) % ringSize_;
    return true;
}

bool TAudioOut::RequestFill(int32_t Index, int32_t Size)
{
    if (!keepFilling_)
        return false;
    bool result = false;
    if (OnFillBuffer) {
        int32_t s = Size;
        result = OnFillBuffer(buffers_[Index].get(), s);
        headers_[Index].BufferLength = static_cast<uint32_t>(std::clamp(s, int32_t{0}, Size));
    }
    if (result)
        ++filledCount_;
    inFlight_ = filledCount_ - doneCount_;
    return result;
}

void TAudioOut::HandleOpen(QObject* sender)
{
    if (OnStart)
        OnStart(sender);
}

void TAudioOut::HandleDone(QObject* sender)
{
    // Buffers handed back after StopNow, or by an earlier open, are not counted.
    if (!deviceOpen_ || sender != callbackWindow_)
        return;
    ++doneCount_;
    inFlight_ = filledCount_ - doneCount_;
    running_ = inFlight_ > 0;
    if (queued_ > 0)
        --queued_;
    if (RequestFill(nextIndex_, FillSize()))
        QueueBuffer();
    if (!deviceOpen_)
        return;  // the fill handler stopped the output
    // A refill that succeeded keeps the output going; with nothing queued
    // nothing can come back, so the output is over.
    running_ = inFlight_ > 0 && queued_ > 0;
    if (!running_) {
        keepFilling_ = false;
        if (queued_ == 0)
            CloseDevice();
    }
}

void TAudioOut::HandleClose(QObject* sender)
{
    if (OnStop)
        OnStop(sender);
}

void TAudioOut::CloseDevice()
{
    if (!deviceOpen_)
        return;
    running_ = false;
    SetPaused(false);
    for (int i = 0; i < ringSize_; ++i)
        deviceHandle_->Unprepare(&headers_[i]);
    deviceHandle_->Close();
    deviceOpen_ = false;
    deviceHandle_ = nullptr;
    callbackWindow_ = nullptr;
    queued_ = 0;
}

std::string TAudioOut::WaveErrorText(WaveResult code) const
{
    return service_.ErrorText(code).substr(0, 255);
}

void TAudioOut::DropFinishedCallbacks()
{
    std::erase_if(callbacks_, [](const std::unique_ptr<TCallBackWinOut>& c) {
        return c->CloseDelivered() && !c->Dispatching();
    });
}

}  // namespace orv
