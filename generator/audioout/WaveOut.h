#pragma once
// The wave-out service: the few operations the output component needs from a
// sound system. A backend plays written buffers in write order on a thread of
// its own and posts WaveOutEvent notifications (open, buffer done, closed) to
// a receiver QObject, so they are handled on the receiver's (GUI) thread.
#include <QEvent>
#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orv {

struct WaveFormat {
    uint16_t FormatTag = 1;  // PCM
    uint16_t Channels = 1;
    uint32_t SamplesPerSec = 22050;
    uint32_t AvgBytesPerSec = 44100;
    uint16_t BlockAlign = 2;
    uint16_t BitsPerSample = 16;
    uint16_t ExtraSize = 0;
};

struct WaveHeader {
    uint8_t* Data = nullptr;
    uint32_t BufferLength = 0;
    uint32_t BytesRecorded = 0;
    uintptr_t User = 0;
    uint32_t Flags = 0;
    uint32_t Loops = 0;
    WaveHeader* Next = nullptr;
    uintptr_t Reserved = 0;
};

inline constexpr uint32_t kHeaderDone = 1;
inline constexpr uint32_t kHeaderPrepared = 2;

// 0 is success; a backend's failure codes are its own (ALSA: negative errno).
using WaveResult = int;
inline constexpr WaveResult kWaveOk = 0;

enum class WaveNotification { Open, Done, Close };

class WaveOutEvent : public QEvent {
public:
    WaveOutEvent(WaveNotification what, WaveHeader* header)
        : QEvent(EventType()), What(what), Header(header) {}
    static QEvent::Type EventType();
    WaveNotification What;
    WaveHeader* Header;  // the returned buffer, for Done
};

// One open device. Buffers come back in the order they were written. Reset
// hands back every queued buffer at once. Close hands back what is still
// queued, then posts Close; no notification follows it, and the object may
// be destroyed once Close has returned.
class WaveOutDevice {
public:
    virtual ~WaveOutDevice() = default;
    virtual WaveResult Prepare(WaveHeader* header) = 0;
    virtual WaveResult Write(WaveHeader* header) = 0;
    virtual WaveResult Pause() = 0;
    virtual WaveResult Restart() = 0;
    virtual WaveResult Reset() = 0;   // every queued buffer comes back at once
    virtual WaveResult Unprepare(WaveHeader* header) = 0;
    virtual WaveResult Close() = 0;
};

class WaveOutService {
public:
    virtual ~WaveOutService() = default;
    // deviceId -1 is the system's default device; k >= 0 is DeviceNames()[k].
    // bufferBytes is the size of one wave buffer: the device buffers no more
    // than about that much on its own. On success the Open notification is
    // posted to receiver, which must outlive the device.
    virtual WaveResult Open(int deviceId, const WaveFormat& format, int32_t bufferBytes,
                            QObject* receiver, std::unique_ptr<WaveOutDevice>& device) = 0;
    virtual std::string ErrorText(WaveResult code) const = 0;
    // Descriptions of the playback devices, for the window's device list.
    virtual std::vector<std::string> DeviceNames() const = 0;
};

}  // namespace orv
