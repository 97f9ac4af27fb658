// The input-device list: filled at start-up and on request, replaced by the
// "Soundeingang testen" button when the system offers no input. The entry
// shown is always the device recorded from; the user's choice is kept by the
// device's name.

#include "frm_main.h"

#include "message_box.h"
#include "status_line.h"
#include "string_table.h"

#include "capture/wavein.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace app {

void TfrmMain::btnRecheckClick()
{
    // A refresh keeps the device in use where it is still there.
    const QString shown = WaveDevice->currentIndex() > 0 ? WaveDevice->currentText() : QString();
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
        selectInputDevice(shown);
        return;
    }
    WaveDevice->clear();
    WaveDevice->hide();
    btnRecheck->show();
    AudioIn1->SetWaveDevice(capture::WAVE_MAPPER);
    inputChanged();
    QApplication::processEvents(); // let the window show the change before the message
    ShowMessage(this, LoadStr(sNoSoundCard),
                QString::fromStdString(capture::waveInGetDiagnostics()));
}

void TfrmMain::WaveDeviceChange()
{
    // Entry 0 stands for the system default (all bits set), entry i for device i - 1.
    AudioIn1->SetWaveDevice(static_cast<capture::UINT>(WaveDevice->currentIndex() - 1));
    chosenInput_ = WaveDevice->currentIndex() > 0 ? WaveDevice->currentText() : QString();
    inputChanged();
}

bool TfrmMain::selectInputDevice(const QString& name)
{
    const int entry = name.isEmpty() ? 0 : WaveDevice->findText(name, Qt::MatchExactly);
    WaveDevice->setCurrentIndex(std::max(entry, 0));
    AudioIn1->SetWaveDevice(entry > 0 ? static_cast<capture::UINT>(entry - 1)
                                      : capture::WAVE_MAPPER);
    inputChanged();
    return entry >= 0;
}

void TfrmMain::inputChanged()
{
    inputCaps_ = capture::WAVEINCAPS{};
    if (AudioIn1->WaveDevice() != capture::WAVE_MAPPER)
        capture::waveInGetDevCaps(AudioIn1->WaveDevice(), &inputCaps_);
    updateStatusLine();
}

void TfrmMain::updateStatusLine()
{
    CaptureFacts facts;
    facts.device = WaveDevice->count() > 0 ? WaveDevice->currentText() : LoadStr(sDefaultDevice);
    facts.rate = AudioIn1->FrameRate();
    facts.running = AudioIn1->Active;
    facts.blocks = AudioIn1->FilledBuffers;
    facts.droppedFrames = AudioIn1->droppedFrames();
    facts.overflows = AudioIn1->deviceOverflows();
    facts.repairedSamples = AudioIn1->repairedSamples();
    facts.stalled = AudioIn1->stalled();
    const int frameBytes = AudioIn1->WaveFormat().nBlockAlign; // a copy: the record is packed
    facts.blockFrames = AudioIn1->BufferSize() / std::max(frameBytes, 1);
    facts.source = inputCaps_;
    lblStatus->setText(statusText(facts));
}

} // namespace app
