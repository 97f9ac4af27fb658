// The FFT page's memories on its graph: each stored spectrum drawn from its
// own bins (its own length and rate) on the axes in force and in the
// reference shown, under the live curve, with a legend naming them.

#include "frm_main.h"

#include "calibrated_levels.h"
#include "string_table.h"

#include "display/fft_curves.h"
#include "engine/fft_block.h"

#include <QToolButton>

#include <algorithm>

namespace app {
namespace {

// The legend's box on the page's light graph.
constexpr engine::TColor kFftLegendBackground = engine::RGB(255, 255, 255);
constexpr engine::TColor kFftLegendFrame = engine::RGB(128, 128, 128);

} // namespace

engine::LevelBasis TfrmMain::fftShownBasis() const
{
    // The page reads dBFS for the octave bands' raw unit.
    const engine::CalibrationModel& model = levels_->model;
    if (model.effectiveReference() == engine::LevelReference::Spl)
        return {engine::LevelReference::Spl, model.calibrationOffsetDb};
    return {engine::LevelReference::Dbfs, 0.0};
}

int TfrmMain::fftTopRow() const
{
    return display::kFftGridTop - fftGraphOrigin().y();
}

std::int32_t TfrmMain::fftFloorRow(int topRow) const
{
    // Below the graph, also before the first START has set the live curve's floor.
    return std::max(engine::fftZeroRow(state_.measurement, topRow),
                    static_cast<std::int32_t>(pbxFFTGraph->height()));
}

void TfrmMain::drawStoredFftCurve(const memories::SpectrumRec& slot, engine::TColor colour,
                                  const display::FftGridAxes& axes, engine::CoordArray& points,
                                  int& count)
{
    count = 0;
    const std::optional<double> offset = shownShift(slot, fftShownBasis());
    const memories::FftSpectrum& fft = slot.fft;
    if (!offset || fft.length <= 0 || fft.sampleRate <= 0)
        return;
    const std::size_t bins = std::min(fft.power.size(), static_cast<std::size_t>(fft.length / 2));
    fftMemoryLayout_->update(axes.frequency, static_cast<double>(fft.sampleRate) / fft.length,
                             static_cast<int>(bins));
    // Drawn as the live curve of its length is: one point a bin up to the
    // one-block length, the highest and lowest bin of each column beyond.
    count = engine::fftCurvePoints(std::span(fft.power.data(), bins), *fftMemoryLayout_, axes.level,
                                   *offset, fftFloorRow(axes.level.topRow), points,
                                   engine::kFftBinsDrawn);
    display::drawFftPolyline(pbxFFTGraph->canvas(), points, count, colour);
}

void TfrmMain::drawStoredFftCurves(const display::FftGridAxes& gridAxes)
{
    display::FftGridAxes axes = gridAxes;
    axes.level.topRow = fftTopRow();
    const memories::SlotTable& table = state_.memory.FFTMemRecord;
    auto& points = *fftMemoryPoints_;
    fftMemoryCounts_.fill(0);
    auto drawSlot = [&](std::size_t k, engine::TColor colour) {
        if (table[k].HasData && table[k].DrawMe)
            drawStoredFftCurve(table[k], colour, axes, points[k], fftMemoryCounts_[k]);
    };
    for (std::size_t k = 1; k < table.size(); ++k)
        drawSlot(k, table[k].Color);
    // What each block's curve is drawn over: the grid with the stored curves.
    display::Canvas& graph = pbxFFTGraph->canvas();
    const display::Rect area(0, 0, graph.width(), graph.height());
    // At the graph's scale, so that each block's erase is a plain copy of its pixels.
    imgFftGraphBackground.setScale(graph.scale());
    imgFftGraphBackground.setSize(area.width(), area.height());
    imgFftGraphBackground.canvas().CopyRect(area, graph, area);
    // Slot 0 is the live curve, drawn in its black until the next block replaces it.
    drawSlot(0, engine::clBlack);
}

void TfrmMain::updateFftLegend()
{
    const memories::SlotTable& table = state_.memory.FFTMemRecord;
    const engine::LevelBasis shown = fftShownBasis();
    std::vector<display::LegendEntry> entries;
    std::vector<display::DrawnCurve> curves;
    for (std::size_t k = 1; k < table.size(); ++k) {
        if (!table[k].HasData || !table[k].DrawMe)
            continue;
        entries.push_back(memoryLegendEntry(table, static_cast<int>(k), shown));
        if (fftMemoryCounts_[k] > 0)
            curves.push_back({&(*fftMemoryPoints_)[k], fftMemoryCounts_[k]});
    }
    // Nothing to tell apart while no memory is shown.
    if (!entries.empty()) {
        std::vector<display::LegendEntry> live;
        if (AudioIn1->Active || (table[0].HasData && table[0].DrawMe)) {
            live.push_back({"L  " + LoadStr(sLiveCurve), engine::clBlack, {}});
            curves.push_back({&state_.measurement.NewPoints, table[0].bands});
        }
        if (AudioIn1->Active && fftSettings_.hold)
            live.push_back({LoadStr(sFftHold), display::kFftHoldColour, {}});
        entries.insert(entries.begin(), live.begin(), live.end());
    }
    fftLegend_->setFont(font());
    fftLegend_->setEntries(std::move(entries), kFftLegendBackground, kFftLegendFrame);
    fftLegend_->placeOver(*pbxFFTGraph, curves);
}

} // namespace app
