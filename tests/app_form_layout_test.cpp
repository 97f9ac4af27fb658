// The window's geometry as pure functions of its size: the old form at the
// default size, and at other sizes the graphs taking the space, with their
// grid lines, band columns, bin columns and scope steps following.

#include "app/form_layout.h"

#include "display/rta_grid.h"
#include "engine/band_plan.h"
#include "engine/fft_axes.h"
#include "engine/rta_curve.h"
#include "engine/scope_time_base.h"
#include "engine/scope_trace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using app::formLayout;
using app::pageLayout;

TEST(FormLayout, TheDefaultSizeKeepsTheOldFormAndItsPages)
{
    const app::FormLayout f = formLayout(app::kDefaultClient);
    EXPECT_FALSE(f.inputBelow);
    EXPECT_EQ(f.WaveDevice, QRect(588, 18, 132, 21));
    EXPECT_EQ(f.btnVolumeControl, QRect(721, 18, 26, 21));
    EXPECT_EQ(f.pgcAnalyzers, QRect(0, 49, 747, 495 + app::kReadoutHeight));
    EXPECT_EQ(f.meterStrip, QRect(320, 545 + app::kReadoutHeight, 423, 25));
    EXPECT_EQ(f.txtComment, QRect(78, 577 + app::kReadoutHeight, 665, 21));

    const app::PageLayout p = pageLayout(app::kDefaultPage);
    EXPECT_EQ(p.pbxOctGrid, QRect(0, 0, 739, 465));
    EXPECT_EQ(p.pbxOctaveGraph, QRect(40, 40, 659, 386));
    EXPECT_EQ(p.pbxFFTGrid, QRect(0, 0, 739, 467));
    EXPECT_EQ(p.pbxFFTGraph, QRect(40, 40, 659, 387));
    EXPECT_EQ(p.fftStrip.axis, QRect(140, 8, 104, 21));
    EXPECT_EQ(p.fftStrip.length, QRect(604, 8, 70, 21));
    EXPECT_EQ(p.Shape1, QRect(68, 3, 417, 418));
    EXPECT_EQ(p.pbxScope, QRect(76, 12, 401, 401));
    EXPECT_EQ(p.GroupBox3.translated(p.scopeColumn.topLeft()), QRect(497, 12, 222, 160));
    EXPECT_EQ(p.grpTrigger.translated(p.scopeColumn.topLeft()), QRect(497, 180, 222, 166));
    EXPECT_EQ(p.readout, QRect(4, 468, 735, app::kReadoutHeight));
}

TEST(FormLayout, OtherSizesGiveTheGraphsTheSpaceAndKeepEveryControlInside)
{
    for (const QSize client : {QSize(1920, 1010), app::kMinimumClient, QSize(300, 200)}) {
        const app::FormLayout f = formLayout(client);
        const QSize c = client.expandedTo(app::kMinimumClient);
        const QRect area(QPoint(0, 0), c);
        for (const QRect& r : {f.WaveDevice, f.btnVolumeControl, f.pgcAnalyzers, f.meterStrip,
                               f.txtComment, f.cboWeighting, f.btnResetLevels})
            EXPECT_TRUE(area.contains(r)) << c.width() << " " << r.x() << "," << r.y();
        // Narrower than the form, the input sits right of the comment field.
        EXPECT_EQ(f.inputBelow, c.width() < app::kDefaultClient.width());
        if (f.inputBelow) {
            EXPECT_LT(f.txtComment.right(), f.lblinput.x());
        }

        const QSize page = f.pgcAnalyzers.size() - (QSize(747, 512) - app::kDefaultPage);
        const QSize grow = page - app::kDefaultPage;
        const app::PageLayout p = pageLayout(page);
        EXPECT_EQ(p.pbxOctaveGraph.size(), QSize(659, 386) + grow);
        EXPECT_EQ(p.pbxFFTGraph.size(), QSize(659, 387) + grow);
        EXPECT_EQ(p.pbxScope.size(), QSize(401, 401) + grow);
        EXPECT_LE(p.fftStrip.length.right(), p.pbxFFTGrid.right());
        EXPECT_LE(p.scopeColumn.right(), page.width());
        EXPECT_EQ(p.readout.bottom(), page.height() - 1);
    }
}

TEST(PageGeometry, GridLinesBandColumnsBinsAndScopeStepsFollowTheGraphSize)
{
    engine::BandPlan plan;
    engine::buildPrefFreqList(plan);
    auto state = std::make_unique<engine::MeasurementState>();
    auto trace = std::make_unique<engine::ScopeTrace>();
    for (const QSize page : {app::kDefaultPage, QSize(1912, 960), QSize(628, 282)}) {
        const app::PageLayout p = pageLayout(page);
        // RTA: the 20 Hz and 20 kHz lines on the plot's ends, the 1/3-octave
        // columns across the graph, 1 kHz where the grid puts it.
        const QRect grid = p.pbxOctGrid;
        const QRect graph = p.pbxOctaveGraph;
        const engine::RtaGeometry g{grid.width(), grid.height(), graph.x(),
                                    graph.y(),    graph.width(), graph.height()};
        const auto lines = display::frequencyGridLines(20, 20000, grid.width());
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front().x, 0);
        EXPECT_EQ(lines.back().x, grid.width() - 80);
        ASSERT_TRUE(engine::applyOctaveType(plan, *state, 2, g));
        EXPECT_DOUBLE_EQ(state->Columnwidth, graph.width() / 30.0);
        engine::layOutBandColumns(std::span(plan.OctBinBorderList).first(32),
                                  engine::rtaFrequencyAxis(20, 20000, g), g, state->NewPoints[0]);
        EXPECT_EQ(state->NewPoints[0][31], graph.width());
        const double d = (grid.width() - 80) / 3.0; // pixels per decade, 20 Hz .. 20 kHz
        EXPECT_NEAR(state->NewPoints[0][18], std::log10(1060.0 / 20) * d, 1.0); // border 1060 Hz

        // FFT: bin k at Round(k 5.859375 Hz width / 24000 Hz); the level axis
        // keeps 27 rows under its 120 dB.
        const auto map = engine::fftFrequencyMap(engine::FftView{}, p.pbxFFTGraph.width());
        ASSERT_TRUE(map);
        EXPECT_EQ(engine::fftColumnOf(*map, 171 * 48000.0L / 8192),
                  std::lround(171 * 5.859375 * p.pbxFFTGraph.width() / 24000));
        EXPECT_EQ(engine::fftLabelledRows(p.pbxFFTGraph.height()), p.pbxFFTGraph.height() - 27);

        // Oscilloscope: the steps of a trace cross the whole screen.
        const QSize screen = p.pbxScope.size();
        engine::applyTimeBase(*state, 3, engine::kFrameRate);
        state->ScopeBufferCounter = 10000;
        ASSERT_TRUE(
            engine::computeScopeTrace(*state, screen.width(), screen.height(), 15, 0, *trace));
        EXPECT_EQ(trace->steps[static_cast<std::size_t>(trace->count - 1)].x1, screen.width());
        EXPECT_LE(trace->count, screen.width() + 1);
    }
}
