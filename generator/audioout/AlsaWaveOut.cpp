#include "generator/audioout/AlsaWaveOut.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace orv {

namespace {

class AlsaDevice final : public WaveOutDevice {
public:
    AlsaDevice(std::string pcmName, const WaveFormat& format, int32_t bufferBytes,
               QObject* receiver)
        : name_(std::move(pcmName)), format_(format), bufferBytes_(bufferBytes),
          receiver_(receiver), frameBytes_(format.BlockAlign)
    {
    }

    ~AlsaDevice() override
    {
        if (!closed_)
            Close();
        if (wakeFd_ >= 0)
            ::close(wakeFd_);
    }

    // Starts the playback thread, which opens the PCM; returns its result.
    WaveResult Start()
    {
        wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wakeFd_ < 0)
            return -errno;
        std::promise<WaveResult> opened;
        std::future<WaveResult> result = opened.get_future();
        try {
            thread_ = std::thread(&AlsaDevice::Run, this, std::move(opened));
        } catch (const std::system_error& e) {
            closed_ = true;
            return -(e.code().value() ? e.code().value() : EAGAIN);
        }
        const WaveResult code = result.get();
        if (code < 0) {
            thread_.join();
            closed_ = true;
        }
        return code;
    }

    WaveResult Prepare(WaveHeader* header) override
    {
        if (closed_)
            return -EBADFD;
        return header && (header->Data || header->BufferLength == 0) ? 0 : -EINVAL;
    }

    WaveResult Write(WaveHeader* header) override
    {
        if (closed_)
            return -EBADFD;
        if (!header || (!header->Data && header->BufferLength > 0))
            return -EINVAL;
        {
            std::lock_guard lock(mutex_);
            if (failure_ < 0)
                return failure_;
            queue_.push_back({header, header->Data, header->BufferLength / frameBytes_});
        }
        Wake();
        return 0;
    }

    WaveResult Pause() override { return Send(Command::Pause); }
    WaveResult Restart() override { return Send(Command::Restart); }
    WaveResult Reset() override { return Send(Command::Reset); }
    WaveResult Unprepare(WaveHeader*) override { return closed_ ? -EBADFD : 0; }

    WaveResult Close() override
    {
        if (closed_)
            return -EBADFD;
        const WaveResult code = Send(Command::Close);
        thread_.join();
        closed_ = true;
        return code;
    }

    AlsaBuffering Buffering;  // written by the thread before Start returns

private:
    enum class Command { None, Pause, Restart, Reset, Close };
    struct Item {
        WaveHeader* Header;
        const uint8_t* Data;
        snd_pcm_uframes_t Frames;
    };

    // GUI side: hands a command to the thread and waits for its answer.
    WaveResult Send(Command command)
    {
        if (closed_)
            return -EBADFD;
        std::unique_lock lock(mutex_);
        command_ = command;
        answered_ = false;
        Wake();
        answer_.wait(lock, [this] { return answered_; });
        return answerCode_;
    }

    void Wake()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }

    void ClearWake()
    {
        uint64_t count;
        [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
    }

    void Post(WaveNotification what, WaveHeader* header)
    {
        QCoreApplication::postEvent(receiver_, new WaveOutEvent(what, header));
    }

    // With mutex_ held: every queued buffer comes back, in order.
    void HandBackAll()
    {
        for (const Item& item : queue_)
            Post(WaveNotification::Done, item.Header);
        queue_.clear();
        offset_ = 0;
    }

    WaveResult OpenPcm()
    {
        snd_pcm_format_t sampleFormat;
        if (format_.BitsPerSample == 8)
            sampleFormat = SND_PCM_FORMAT_U8;
        else if (format_.BitsPerSample == 16)
            sampleFormat = SND_PCM_FORMAT_S16_LE;
        else
            return -EINVAL;
        if (format_.AvgBytesPerSec == 0 || frameBytes_ == 0 || bufferBytes_ <= 0)
            return -EINVAL;
        int code = snd_pcm_open(&pcm_, name_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (code < 0) {
            pcm_ = nullptr;
            return code;
        }
        // ALSA's own buffer holds about one wave buffer, so it adds no more
        // latency than one more buffer in the ring would.
        const auto latencyUs = static_cast<unsigned>(
            static_cast<uint64_t>(bufferBytes_) * 1000000u / format_.AvgBytesPerSec);
        code = snd_pcm_set_params(pcm_, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED,
                                  format_.Channels, format_.SamplesPerSec, 1, latencyUs);
        if (code < 0)
            return code;
        snd_pcm_uframes_t bufferFrames = 0;
        snd_pcm_uframes_t periodFrames = 0;
        code = snd_pcm_get_params(pcm_, &bufferFrames, &periodFrames);
        if (code < 0)
            return code;
        snd_pcm_hw_params_t* hw;
        snd_pcm_hw_params_alloca(&hw);
        canPause_ = snd_pcm_hw_params_current(pcm_, hw) == 0 && snd_pcm_hw_params_can_pause(hw);
        Buffering = {bufferFrames, periodFrames, canPause_};
        return 0;
    }

    // Waits until the PCM can take data (when withPcm) or a command or
    // buffer arrives.
    void Wait(bool withPcm)
    {
        const int count = withPcm ? snd_pcm_poll_descriptors_count(pcm_) : 0;
        std::vector<pollfd> fds(static_cast<size_t>(std::max(count, 0)) + 1);
        const int got = count > 0 ? snd_pcm_poll_descriptors(pcm_, fds.data(), count) : 0;
        fds[static_cast<size_t>(std::max(got, 0))] = {wakeFd_, POLLIN, 0};
        if (::poll(fds.data(), static_cast<nfds_t>(std::max(got, 0) + 1), -1) > 0 && got > 0) {
            unsigned short revents = 0;
            snd_pcm_poll_descriptors_revents(pcm_, fds.data(), static_cast<unsigned>(got), &revents);
        }
    }

    // Runs the pending command with mutex_ held. False when the thread ends.
    bool RunCommand(std::unique_lock<std::mutex>& lock)
    {
        WaveResult code = 0;
        switch (command_) {
        case Command::None:
            return true;
        case Command::Pause:
            paused_ = true;
            if (canPause_ && snd_pcm_state(pcm_) == SND_PCM_STATE_RUNNING) {
                code = snd_pcm_pause(pcm_, 1);
                hwPaused_ = code == 0;
            }
            break;
        case Command::Restart:
            paused_ = false;
            if (hwPaused_) {
                hwPaused_ = false;
                code = snd_pcm_pause(pcm_, 0);
                if (code < 0)
                    snd_pcm_prepare(pcm_);
            }
            break;
        case Command::Reset:
            snd_pcm_drop(pcm_);
            code = snd_pcm_prepare(pcm_);
            hwPaused_ = false;
            HandBackAll();
            break;
        case Command::Close: {
            // Play out what ALSA still holds unless the output was cut short.
            const bool drain = queue_.empty() && !paused_ && failure_ == 0;
            HandBackAll();
            lock.unlock();
            if (drain && snd_pcm_nonblock(pcm_, 0) == 0)
                snd_pcm_drain(pcm_);
            else
                snd_pcm_drop(pcm_);
            code = snd_pcm_close(pcm_);
            pcm_ = nullptr;
            lock.lock();
            Post(WaveNotification::Close, nullptr);
            Answer(code);
            return false;
        }
        }
        Answer(code);
        return true;
    }

    void Answer(WaveResult code)
    {
        command_ = Command::None;
        answerCode_ = code;
        answered_ = true;
        answer_.notify_all();
    }

    void Run(std::promise<WaveResult> opened)
    {
        const WaveResult code = OpenPcm();
        if (code < 0) {
            if (pcm_)
                snd_pcm_close(pcm_);
            pcm_ = nullptr;
            opened.set_value(code);
            return;
        }
        Post(WaveNotification::Open, nullptr);
        opened.set_value(0);

        for (;;) {
            ClearWake();
            std::unique_lock lock(mutex_);
            if (!RunCommand(lock))
                return;
            if (paused_ || failure_ < 0 || queue_.empty()) {
                lock.unlock();
                Wait(false);
                continue;
            }
            const Item item = queue_.front();
            const snd_pcm_uframes_t offset = offset_;
            lock.unlock();

            snd_pcm_sframes_t n = 0;
            if (offset < item.Frames)
                n = snd_pcm_writei(pcm_, item.Data + offset * frameBytes_, item.Frames - offset);
            if (n == -EAGAIN) {
                Wait(true);
                continue;
            }
            if (n < 0) {
                const int recovered = snd_pcm_recover(pcm_, static_cast<int>(n), 1);
                if (recovered < 0) {
                    // The device is lost: refuse further writes and hand
                    // back what is queued, so the output winds down.
                    lock.lock();
                    failure_ = recovered;
                    HandBackAll();
                }
                continue;
            }
            lock.lock();
            offset_ += static_cast<snd_pcm_uframes_t>(n);
            if (offset_ >= item.Frames) {
                queue_.pop_front();
                offset_ = 0;
                Post(WaveNotification::Done, item.Header);
            }
        }
    }

    const std::string name_;
    const WaveFormat format_;
    const int32_t bufferBytes_;
    QObject* const receiver_;
    const unsigned frameBytes_;

    // Playback thread only.
    snd_pcm_t* pcm_ = nullptr;
    bool canPause_ = false;
    bool hwPaused_ = false;

    // GUI thread only.
    bool closed_ = false;
    std::thread thread_;
    int wakeFd_ = -1;

    // Shared, under mutex_.
    std::mutex mutex_;
    std::condition_variable answer_;
    std::deque<Item> queue_;
    snd_pcm_uframes_t offset_ = 0;
    bool paused_ = false;
    WaveResult failure_ = 0;
    Command command_ = Command::None;
    bool answered_ = false;
    WaveResult answerCode_ = 0;
};

// ALSA prints its own diagnostics to stderr; the user already gets the reason
// in the window's message, so keep the terminal quiet.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa()
{
    static const bool quiet = (snd_lib_error_set_handler(IgnoreAlsaError), true);
    (void)quiet;
}

}  // namespace

AlsaWaveOut::AlsaWaveOut()
{
    QuietAlsa();
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0)
        return;
    for (void** hint = hints; *hint; ++hint) {
        char* name = snd_device_name_get_hint(*hint, "NAME");
        char* desc = snd_device_name_get_hint(*hint, "DESC");
        char* ioid = snd_device_name_get_hint(*hint, "IOID");
        if (name && !(ioid && std::strcmp(ioid, "Input") == 0)) {
            pcmNames_.emplace_back(name);
            std::string text = desc ? desc : name;
            descriptions_.push_back(text.substr(0, text.find('\n')));
        }
        std::free(name);
        std::free(desc);
        std::free(ioid);
    }
    snd_device_name_free_hint(hints);
}

AlsaWaveOut::AlsaWaveOut(std::vector<std::string> pcmNames)
    : pcmNames_(std::move(pcmNames)), descriptions_(pcmNames_)
{
    QuietAlsa();
}

WaveResult AlsaWaveOut::Open(int deviceId, const WaveFormat& format, int32_t bufferBytes,
                             QObject* receiver, std::unique_ptr<WaveOutDevice>& device)
{
    std::string name;
    if (deviceId == -1)
        name = "default";
    else if (deviceId >= 0 && static_cast<size_t>(deviceId) < pcmNames_.size())
        name = pcmNames_[static_cast<size_t>(deviceId)];
    else
        return -ENODEV;
    if (!receiver)
        return -EINVAL;
    auto opened = std::make_unique<AlsaDevice>(std::move(name), format, bufferBytes, receiver);
    const WaveResult code = opened->Start();
    if (code < 0)
        return code;
    device = std::move(opened);
    return 0;
}

std::string AlsaWaveOut::ErrorText(WaveResult code) const
{
    return snd_strerror(code);
}

bool AlsaBufferingOf(const WaveOutDevice& device, AlsaBuffering& out)
{
    const auto* alsa = dynamic_cast<const AlsaDevice*>(&device);
    if (!alsa)
        return false;
    out = alsa->Buffering;
    return true;
}

}  // namespace orv
