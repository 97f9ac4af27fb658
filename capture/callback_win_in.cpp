#include "callback_win_in.h"

#include "audio_in.h"
#include "wavein_event.h"

#include <QPointer>

#include <exception>

namespace capture {

TAudioIn* TCallBackWinIn::Component() const
{
    return AudioComponent ? *AudioComponent : nullptr;
}

bool TCallBackWinIn::event(QEvent* Event)
{
    if (Event->type() != WaveInEvent::eventType())
        return QObject::event(Event);
    const auto* notification = static_cast<const WaveInEvent*>(Event);
    switch (notification->message) {
    case MM_WIM_DATA:
        BufferFinished(notification->header);
        break;
    case MM_WIM_OPEN:
        WaveOpenIn();
        break;
    case MM_WIM_CLOSE:
        WaveCloseIn();
        break;
    case MM_WIM_FAULT:
        WaveFault(notification->text);
        break;
    default:
        break;
    }
    return true;
}

void TCallBackWinIn::BufferFinished(WAVEHDR* Header)
{
    TAudioIn* c = Component();
    // A buffer of a run that has ended and been followed by a new Start
    // belongs to no ring any more.
    if (!c || c->CallBackWin != this)
        return;
    c->ProcessedBuffers += 1;
    c->QueuedBuffers -= 1;
    c->Active = c->QueuedBuffers > 0;
    c->TakeStatistics();
    // Identified by its header, not by the ring position, so a block the
    // handler refused cannot shift which buffer is queued next.
    const int index = c->RingIndexOf(Header);
    // A handler may destroy the component (closing its window, say).
    const QPointer<TAudioIn> alive(c);
    if (index >= 0) {
        bool requeue = false;
        try {
            requeue = c->ProcessBuffer(c->WaveBuffer[index], c->FBufferSize);
        } catch (...) {
            // Nothing may throw through the event loop; the ring keeps the buffer.
            QString text = QStringLiteral("unknown error");
            try {
                throw;
            } catch (const std::exception& e) {
                text = QString::fromUtf8(e.what());
            } catch (...) {
            }
            c->FHandlerErrors += 1;
            c->FLastHandlerError = text;
            c->ErrorMessage = QStringLiteral("Error in the block handler: ") + text;
            requeue = alive && c->ContinueProcessing;
        }
        if (!alive)
            return;
        if (requeue) {
            c->BufIndex = index;
            c->QueueBuffer();
        }
    }
    if (!c->Active) {
        c->ContinueProcessing = false;
        c->CloseWaveDevice();
    }
}

void TCallBackWinIn::WaveOpenIn()
{
    TAudioIn* c = Component();
    if (c && c->FonOpen)
        c->FonOpen(this);
}

void TCallBackWinIn::WaveCloseIn()
{
    TAudioIn* c = Component();
    // The handler may destroy the component, and this object with it.
    const QPointer<TCallBackWinIn> self(this);
    const QPointer<TAudioIn> alive(c);
    if (c && c->FonClose)
        c->FonClose(this);
    if (!self)
        return;
    // The close is the last notification of a run.
    if (alive && c->CallBackWin == this)
        c->CallBackWin = nullptr;
    deleteLater();
}

void TCallBackWinIn::WaveFault(const QString& Text)
{
    TAudioIn* c = Component();
    if (!c || c->CallBackWin != this)
        return;
    c->FDeviceFailed = true;
    c->Fail(MMSYSERR_NODRIVER, Text);
    c->ContinueProcessing = false;
    if (c->WaveDeviceOpen && c->QueuedBuffers <= 0)
        c->CloseWaveDevice();
}

} // namespace capture
