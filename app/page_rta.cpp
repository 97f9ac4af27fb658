// The octave-band page: its band plan on activation, the grid paint, and the
// measurement and live staircase of every block.

#include "frm_main.h"

#include "message_box.h"
#include "string_table.h"

#include "display/rta_display.h"
#include "engine/level_scale.h"
#include "engine/rta_block.h"

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

void TfrmMain::pbxOctGridPaint()
{
    const RtaSettings settings = rtaSettings();
    engine::MeasurementState& m = state_.measurement;

    display::RtaGridPicture picture;
    // Limits without a scale keep the last one for the curve; the grid then
    // shows no level lines, since it cannot place them for these limits.
    const bool scaled = engine::updateLevelScale(m, settings.yAxisMin, settings.yAxisMax,
                                                 pbxOctGrid->height(), rtaGraphOrigin().y());
    if (scaled && settings.yAxisMinWhole && settings.yAxisMaxWhole && settings.yAxisStepWhole)
        picture.levels = display::LevelAxis{*settings.yAxisMinWhole, *settings.yAxisMaxWhole,
                                            *settings.yAxisStepWhole, m.OneDB};
    picture.xAxisMin = settings.xAxisMin;
    picture.xAxisMax = settings.xAxisMax;
    picture.colours = settings.colours;
    picture.levelTitle = LoadStr(sLevelAxisTitle);
    picture.frequencyTitle = "f [Hz]";
    display::paintRtaGrid(imgPhantomGrid, pbxOctGrid->canvas(), picture);

    // Slot 0, the last measurement, first; later slots over earlier ones.
    for (const memories::SpectrumRec& slot : state_.memory.RTAMemRecord)
        if (slot.HasData && slot.DrawMe)
            display::drawRtaCurve(pbxOctaveGraph->canvas(), slot.Color, slot.coordinates,
                                  slot.bands);
}

void TfrmMain::rtaBlock(std::span<const std::int16_t> samples)
{
    const RtaSettings settings = rtaSettings();
    engine::MeasurementState& m = state_.measurement;
    const int graphHeight = pbxOctaveGraph->height();
    // Rows count from the graph's top and columns are erased with the grid
    // pixels right under them, so that curve, grid and labels agree.
    const QPoint origin = rtaGraphOrigin();
    const engine::RtaBlockReport report =
        engine::processRtaBlock(m, state_.bandPlan, samples, settings.yAxisMin, settings.yAxisMax,
                                graphHeight, pbxOctGrid->height(), origin.y());
    display::drawRtaStaircase(pbxOctaveGraph->canvas(), imgPhantomGrid.canvas(), origin,
                              m.NewPoints, state_.bandPlan.validbands, graphHeight);

    memories::SpectrumRec& last = state_.memory.RTAMemRecord[0];
    last.l = m.OctBands;
    last.coordinates = m.NewPoints;
    last.levels = m.OctBandLevels;
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
