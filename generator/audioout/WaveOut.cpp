#include "generator/audioout/WaveOut.h"

namespace orv {

QEvent::Type WaveOutEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace orv
