#pragma once
// The notification the wave-input service posts to a callback object: one
// event type carrying the message (MM_WIM_OPEN, MM_WIM_DATA, MM_WIM_CLOSE,
// MM_WIM_FAULT), the input it concerns, the returned header (MM_WIM_DATA) and
// a text (MM_WIM_FAULT). Delivered on the callback object's thread.

#include "wavein_types.h"

#include <QEvent>
#include <QString>

namespace capture {

class WaveInEvent : public QEvent {
public:
    WaveInEvent(UINT message, HWAVEIN handle, WAVEHDR* header, QString text = {})
        : QEvent(eventType()), message(message), handle(handle), header(header),
          text(std::move(text))
    {
    }

    static QEvent::Type eventType()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    const UINT message;
    const HWAVEIN handle;
    WAVEHDR* const header;
    const QString text;
};

} // namespace capture
