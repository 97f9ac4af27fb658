// The FFT page: its set-up on activation, its grid paint and its branch of
// the block handler.

#include "frm_main.h"

#include "string_table.h"

#include "display/fft_curves.h"
#include "display/fft_grid.h"
#include "engine/fft_block.h"

#include <algorithm>
#include <climits>

namespace app {

void TfrmMain::createFftPage()
{
    pages_[1].activate = [this] { setUpFftPage(); };
    pages_[1].block = [this](std::span<const std::int16_t> samples) { fftBufferFilled(samples); };
    pbxFFTGrid->setPaintHandler([this] { pbxFFTGridPaint(); });
}

void TfrmMain::setUpFftPage()
{
    const auto frameRate = std::min<capture::DWORD>(AudioIn1->FrameRate(), INT_MAX);
    engine::setUpFftTab(state_.measurement, pbxFFTGraph->width(), static_cast<int>(frameRate));
    pbxFFTGraph->Repaint();
}

QPoint TfrmMain::fftGraphOrigin() const
{
    return pbxFFTGraph->pos() - pbxFFTGrid->pos();
}

void TfrmMain::pbxFFTGridPaint()
{
    display::Canvas& graph = pbxFFTGraph->canvas();
    display::PaintAxesFFT(pbxFFTGrid->canvas(), graph, fftGraphOrigin(), imgPhantomFFTGrid,
                          state_.measurement.Columnwidth, LoadStr(sFftLevelAxisTitle));
    // After the snapshot: the next block's erase takes these curves away.
    for (const memories::SpectrumRec& slot : state_.memory.FFTMemRecord)
        if (slot.HasData && slot.DrawMe)
            display::drawFftMemoryCurve(graph, slot.coordinates, slot.bands, slot.Color);
}

void TfrmMain::fftBufferFilled(std::span<const std::int16_t> samples)
{
    engine::MeasurementState& m = state_.measurement;
    // The grid's 0 line, where a full-scale sine peaks, in graph rows.
    engine::processFftBlock(m, samples, display::kFftGridTop - fftGraphOrigin().y());
    display::drawFftCurve(pbxFFTGraph->canvas(), imgPhantomFFTGrid.canvas(), m.NewPoints,
                          engine::kFftBinsDrawn);
    memories::SpectrumRec& last = state_.memory.FFTMemRecord[0];
    last.bands = engine::kFftBinsDrawn;
    last.coordinates = m.NewPoints;
}

} // namespace app
