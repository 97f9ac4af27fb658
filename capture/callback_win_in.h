#pragma once
// TCallBackWinIn: the callback object of one capture run. Receives the
// wave-input service's notifications as posted events on the UI thread and
// passes them to the component; deletes itself after its close notification.

#include "wavein_types.h"

#include <QObject>

namespace capture {

class TAudioIn;

class TCallBackWinIn : public QObject {
    Q_OBJECT

public:
    explicit TCallBackWinIn(QObject* Parent) : QObject(Parent) {}

    // The owner's variable holding the component.
    TAudioIn** AudioComponent = nullptr;

protected:
    bool event(QEvent* Event) override;

private:
    void BufferFinished(WAVEHDR* Header);
    void WaveOpenIn();
    void WaveCloseIn();
    void WaveFault(const QString& Text);
    TAudioIn* Component() const;
};

} // namespace capture
