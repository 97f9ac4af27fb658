// The octave-band page: its band plan on activation, the grid paint, and the
// measurement and live staircase of every block.

#include "frm_main.h"

#include "message_box.h"
#include "string_table.h"

#include "display/rta_display.h"
#include "engine/level_scale.h"
#include "engine/rta_block.h"
#include "engine/rta_curve.h"

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

void TfrmMain::drawStoredRtaCurve(const memories::SpectrumRec& slot)
{
    const RtaSettings settings = rtaSettings();
    const engine::RtaGeometry g = rtaGeometry();
    // From the slot's borders and levels, through the axes in force now.
    engine::curvePoints(slot.f, slot.levels, slot.bands,
                        engine::rtaFrequencyAxis(settings.xAxisMin, settings.xAxisMax, g),
                        engine::levelScaleOf(state_.measurement), g, *storedCurvePoints_);
    display::drawRtaCurve(pbxOctaveGraph->canvas(), slot.Color, *storedCurvePoints_, slot.bands);
}

void TfrmMain::pbxOctGridPaint()
{
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
    picture.levelTitle = LoadStr(sLevelAxisTitle);
    picture.frequencyTitle = "f [Hz]";
    display::paintRtaGrid(imgPhantomGrid, pbxOctGrid->canvas(), picture);

    // The stored slots go into what the live curve is drawn over; slot 0, the
    // last measurement, is the live curve itself while a capture runs.
    const auto& table = state_.memory.RTAMemRecord;
    auto drawSlots = [&](std::size_t from) {
        for (std::size_t k = from; k < table.size(); ++k)
            if (table[k].HasData && table[k].DrawMe)
                drawStoredRtaCurve(table[k]);
    };
    drawSlots(1);
    const display::Rect graph(0, 0, pbxOctaveGraph->width(), pbxOctaveGraph->height());
    imgGraphBackground.setSize(graph.width(), graph.height());
    imgGraphBackground.canvas().CopyRect(graph, pbxOctaveGraph->canvas(), graph);
    // On screen slot 0 comes first and later slots over earlier ones.
    if (table[0].HasData && table[0].DrawMe) {
        drawSlots(0);
    }
}

void TfrmMain::rtaBlock(std::span<const std::int16_t> samples)
{
    const RtaSettings settings = rtaSettings();
    engine::MeasurementState& m = state_.measurement;
    const engine::RtaGeometry g = rtaGeometry();
    // Rows count from the graph's top and columns are erased with the pixels
    // right under the graph (grid and shown memories), so that curve, grid and
    // labels agree.
    const engine::RtaBlockReport report =
        engine::processRtaBlock(m, state_.bandPlan, samples, rtaAxes(settings), g);
    display::drawRtaStaircase(pbxOctaveGraph->canvas(), imgGraphBackground.canvas(), QPoint(0, 0),
                              m.NewPoints, state_.bandPlan.validbands, g.graphHeight);

    // The last measurement is the curve as shown: its averaged levels.
    memories::SpectrumRec& last = state_.memory.RTAMemRecord[0];
    last.l = m.OctBands;
    last.coordinates = m.NewPoints;
    engine::copyAveragedLevels(m, state_.bandPlan, last.levels);
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
