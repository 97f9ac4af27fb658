// The audio input's events: every block goes to the analyzer of the active
// page; the open and close switch the window between its running and stopped
// look.

#include "frm_main.h"

#include "message_box.h"
#include "status_line.h"
#include "string_table.h"

#include "engine/fft_block.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <span>

namespace app {

bool TfrmMain::AudioIn1BufferFilled(std::uint8_t* Buffer, int& Size)
{
    // 16-bit little-endian samples, whatever the block's byte count.
    const std::span<const std::int16_t> samples(reinterpret_cast<const std::int16_t*>(Buffer),
                                                static_cast<std::size_t>(Size / 2));
    const int page = pgcAnalyzers->currentIndex();
    // The program records mono only; a stereo block is left alone.
    if (!AudioIn1->Stereo())
        levelsBlock(samples);
    if (page >= 0 && page <= 2 && !AudioIn1->Stereo() && pages_[page].block) {
        pages_[page].block(samples);
        // The measurement carries the gaps of its capture into the memories and the export.
        activeSlots()[0].droppedBlocks = static_cast<std::int64_t>(
            droppedBlocks(AudioIn1->droppedFrames(), static_cast<int>(samples.size())));
        // A pinned marker and the reading under the mouse follow the curve.
        if (pinnedMarker(page) || underMouse(page))
            updateReadout(page);
    }
    // The status line follows each block, once the component has counted it; its timer
    // fires only when blocks stop coming, to show the stall.
    if (AudioIn1->Active)
        statusTimer_->start();
    QMetaObject::invokeMethod(this, [this] { updateStatusLine(); }, Qt::QueuedConnection);
    if (blockObserver_)
        blockObserver_();
    return true;
}

void TfrmMain::AudioIn1Start(QObject* /*Sender*/)
{
    state_.measurement.ScopeBufferCounter = 0;
    if (frmSettings)
        frmSettings->setCaptureRunning(true);
    shpOnOFF->setBrushColor(engine::RGB(0, 224, 0));
    btnONOFF->setText("STOP");
    engine::onCaptureStart(state_.measurement);
    // Leq, maxima and the meter's averages start with the capture.
    btnResetLevelsClick();
    statusTimer_->start();
    updateStatusLine();
}

void TfrmMain::AudioIn1Stop(QObject* /*Sender*/)
{
    if (frmSettings)
        frmSettings->setCaptureRunning(false);
    shpOnOFF->setBrushColor(engine::RGB(255, 0, 0));
    btnONOFF->setText("START");
    mem0->setEnabled(true);
    statusTimer_->stop();
    updateStatusLine();
    if (AudioIn1->deviceFailed())
        ShowMessage(this, LoadStr(sCaptureFailed).arg(AudioIn1->ErrorMessage));
}

} // namespace app
