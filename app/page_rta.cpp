// The octave-band page: its band plan on activation, the grid paint, and the
// measurement and live staircase of every block.

#include "frm_main.h"

#include "calibrated_levels.h"

#include "message_box.h"
#include "string_table.h"

#include "display/colour_map.h"
#include "display/legend.h"
#include "display/rta_display.h"
#include "engine/level_scale.h"
#include "engine/rta_block.h"
#include "engine/rta_curve.h"
#include "engine/rta_statistics.h"

#include <QComboBox>
#include <QTimer>

namespace app {

void TfrmMain::createRtaPage()
{
    pages_[0].activate = [this] {
        rtaErrorShown_ = false;
        cboOctaveTypeChange();
    };
    pages_[0].block = [this](std::span<const std::int16_t> samples) { rtaBlock(samples); };
    pbxOctGrid->setPaintHandler([this] { pbxOctGridPaint(); });
    rtaLegend_ = new display::Legend(tabOctave);
}

RtaSettings TfrmMain::rtaSettings() const
{
    if (frmSettings)
        return readRtaSettings(*frmSettings, state_.colours);
    RtaSettings defaults;
    defaults.colours = gridColoursOf(state_.colours.GraphColors);
    return defaults;
}

QPoint TfrmMain::rtaGraphOrigin() const
{
    return pbxOctaveGraph->pos() - pbxOctGrid->pos();
}

engine::RtaGeometry TfrmMain::rtaGeometry() const
{
    const QPoint origin = rtaGraphOrigin();
    return {pbxOctGrid->width(), pbxOctGrid->height(),    origin.x(),
            origin.y(),          pbxOctaveGraph->width(), pbxOctaveGraph->height()};
}

engine::RtaAxes TfrmMain::rtaAxes(const RtaSettings& settings)
{
    return {settings.yAxisMin, settings.yAxisMax, settings.xAxisMin, settings.xAxisMax};
}

engine::LevelBasis TfrmMain::rtaShownBasis() const
{
    return rtaShownBasis(engine::rtaRawMinusDbfs(state_.measurement.Window));
}

engine::LevelBasis TfrmMain::rtaShownBasis(double raw) const
{
    return engine::levelBasisOf(levels_->model, raw);
}

bool TfrmMain::layOutStoredCurve(const memories::SpectrumRec& slot, const engine::LevelBasis& shown,
                                 engine::CoordArray& points)
{
    const std::optional<double> shift = shownShift(slot, shown);
    if (!shift)
        return false;
    const RtaSettings settings = rtaSettings();
    const engine::RtaGeometry g = rtaGeometry();
    // From the slot's borders and levels, through the axes in force now.
    engine::curvePoints(slot.f, slot.levels, slot.bands,
                        engine::rtaFrequencyAxis(settings.xAxisMin, settings.xAxisMax, g),
                        engine::levelScaleOf(state_.measurement), g, points, *shift);
    return true;
}

void TfrmMain::storeDrawnPoints(memories::SpectrumRec& slot)
{
    if (!layOutStoredCurve(slot, rtaShownBasis(), slot.coordinates))
        return;
    for (int j = 0; j < slot.bands; ++j)
        slot.l[static_cast<std::size_t>(j)] = slot.coordinates[1][static_cast<std::size_t>(j)];
}

engine::TColor TfrmMain::liveCurveColour() const
{
    return display::liveCurveColour(rtaSettings().colours.background);
}

void TfrmMain::drawStoredRtaCurve(const memories::SpectrumRec& slot, engine::TColor colour,
                                  const engine::LevelBasis& shown)
{
    if (layOutStoredCurve(slot, shown, *storedCurvePoints_))
        display::drawRtaCurve(pbxOctaveGraph->canvas(), colour, *storedCurvePoints_, slot.bands);
}

void TfrmMain::updateRtaLegend()
{
    const auto& table = state_.memory.RTAMemRecord;
    const engine::LevelBasis shown = rtaShownBasis();
    std::vector<display::LegendEntry> entries;
    std::vector<display::DrawnCurve> curves;
    // Laid out afresh for the placement; reserved, so the pointers stay valid.
    std::vector<engine::CoordArray> points;
    points.reserve(table.size());
    for (std::size_t k = 1; k < table.size(); ++k) {
        if (!table[k].HasData || !table[k].DrawMe)
            continue;
        entries.push_back(memoryLegendEntry(table, static_cast<int>(k), shown));
        if (layOutStoredCurve(table[k], shown, points.emplace_back()))
            curves.push_back({&points.back(), table[k].bands});
    }
    // Nothing to tell apart while no memory is shown.
    if (!entries.empty() && (AudioIn1->Active || (table[0].HasData && table[0].DrawMe))) {
        entries.insert(entries.begin(), {"L  " + LoadStr(sLiveCurve), liveCurveColour(), {}});
        curves.push_back({&state_.measurement.NewPoints, state_.bandPlan.validbands});
    }
    const auto& colours = state_.colours.GraphColors;
    rtaLegend_->setFont(font());
    rtaLegend_->setEntries(std::move(entries), colours[settings::LegendBackgroundColour],
                           colours[settings::LegendTextColour]);
    rtaLegend_->placeOver(*pbxOctaveGraph, curves);
}

void TfrmMain::pbxOctGridPaint()
{
    rtaTrace_.forget();
    const RtaSettings settings = rtaSettings();
    engine::MeasurementState& m = state_.measurement;

    display::RtaGridPicture picture;
    // Limits without a scale keep the last one for the curve; the grid then
    // shows no level lines, since it cannot place them for these limits.
    const engine::RtaGeometry g = rtaGeometry();
    const bool scaled =
        engine::updateLevelScale(m, settings.yAxisMin, settings.yAxisMax, g.gridHeight, g.graphTop);
    if (scaled && settings.yAxisMinWhole && settings.yAxisMaxWhole && settings.yAxisStepWhole)
        picture.levels = display::LevelAxis{*settings.yAxisMinWhole, *settings.yAxisMaxWhole,
                                            *settings.yAxisStepWhole, m.OneDB};
    picture.xAxisMin = settings.xAxisMin;
    picture.xAxisMax = settings.xAxisMax;
    picture.colours = settings.colours;
    picture.levelTitle = levelAxisTitle();
    picture.frequencyTitle = "f [Hz]";
    display::paintRtaGrid(imgPhantomGrid, pbxOctGrid->canvas(), picture);

    // The stored slots go into what the live curve is drawn over; slot 0, the
    // last measurement, is the live curve itself while a capture runs.
    const auto& table = state_.memory.RTAMemRecord;
    const engine::LevelBasis shown = rtaShownBasis();
    // Slot 0 is the live curve and takes its colour.
    auto drawSlots = [&](std::size_t from) {
        for (std::size_t k = from; k < table.size(); ++k)
            if (table[k].HasData && table[k].DrawMe)
                drawStoredRtaCurve(table[k], k == 0 ? liveCurveColour() : table[k].Color, shown);
    };
    drawSlots(1);
    const display::Rect graph(0, 0, pbxOctaveGraph->width(), pbxOctaveGraph->height());
    imgGraphBackground.setScale(pbxOctaveGraph->canvas().scale());
    imgGraphBackground.setSize(graph.width(), graph.height());
    imgGraphBackground.canvas().CopyRect(graph, pbxOctaveGraph->canvas(), graph);
    // On screen slot 0 comes first and later slots over earlier ones.
    if (table[0].HasData && table[0].DrawMe) {
        drawSlots(0);
    }
    updateRtaLegend();
    updateReadout(0);
}

void TfrmMain::rtaBlock(std::span<const std::int16_t> samples)
{
    const RtaSettings settings = rtaSettings();
    engine::MeasurementState& m = state_.measurement;
    const engine::RtaGeometry g = rtaGeometry();
    // Rows count from the graph's top and columns are erased with the pixels
    // right under the graph (grid and shown memories), so that curve, grid and
    // labels agree.
    // A restart of the display average (new plan, START) starts Leq and Max too.
    engine::RtaStatistics& statistics = levels_->rtaStatistics;
    if (m.AverageRestart)
        statistics.reset();
    // A sum over the whole window: once per block.
    const double raw = engine::rtaRawMinusDbfs(m.Window);
    engine::RtaBlockReport report =
        engine::processRtaBlock(m, state_.bandPlan, samples, rtaAxes(settings), g, rtaLevels(raw));
    statistics.add(m, state_.bandPlan);
    report.failedRows += engine::showRtaCurve(m, state_.bandPlan, statistics, levels_->rtaCurve,
                                              engine::bottomRow(g));
    display::drawRtaStaircase(pbxOctaveGraph->canvas(), imgGraphBackground.canvas(), QPoint(0, 0),
                              m.NewPoints, state_.bandPlan.validbands, g.graphHeight, rtaTrace_,
                              display::liveCurveColour(settings.colours.background));

    // The last measurement is the curve as shown: its averaged levels.
    memories::SpectrumRec& last = state_.memory.RTAMemRecord[0];
    last.l = m.OctBands;
    last.coordinates = m.NewPoints;
    engine::copyRtaCurveLevels(m, state_.bandPlan, statistics, levels_->rtaCurve, last.levels);
    last.description = levelDescription();
    last.basis = rtaShownBasis(raw);
    last.windowType = frmSettings ? frmSettings->cboWindowing->currentIndex() : 1;
    last.averaging = cboAveraging->currentIndex();

    if (report.failedRows > 0 && !rtaErrorShown_) {
        rtaErrorShown_ = true;
        // After the handler returns: a modal box inside it would let the next
        // block in while this one is unfinished.
        QTimer::singleShot(0, this, [this] { ShowMessage(this, "Oi, error!"); });
    }
}

} // namespace app
