// The input-device list: filled at start-up and on request, replaced by the
// "Soundeingang testen" button when the system offers no input.

#include "frm_main.h"

#include "message_box.h"
#include "string_table.h"

#include "capture/wavein.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>

namespace app {

void TfrmMain::btnRecheckClick()
{
    QStringList names{LoadStr(sDefaultDevice)};
    const capture::UINT count = capture::waveInGetNumDevs();
    for (capture::UINT id = 0; id < count; ++id) {
        capture::WAVEINCAPS caps{};
        capture::waveInGetDevCaps(id, &caps);
        names << QString::fromStdString(caps.szPname);
    }
    WaveDevice->clear();
    WaveDevice->addItems(names);
    // The field is narrow; its list opens wide enough for whole names.
    WaveDevice->view()->setMinimumWidth(WaveDevice->view()->sizeHintForColumn(0) + 8);

    if (capture::waveInGetNumDevs() != 0) {
        WaveDevice->show();
        btnRecheck->hide();
        WaveDevice->setCurrentIndex(0);
        return;
    }
    WaveDevice->clear();
    WaveDevice->hide();
    btnRecheck->show();
    QApplication::processEvents(); // let the window show the change before the message
    ShowMessage(this, LoadStr(sNoSoundCard));
}

void TfrmMain::WaveDeviceChange()
{
    // Entry 0 stands for the system default (all bits set), entry i for device i - 1.
    AudioIn1->SetWaveDevice(static_cast<capture::UINT>(WaveDevice->currentIndex() - 1));
}

} // namespace app
