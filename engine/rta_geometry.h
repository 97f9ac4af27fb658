#pragma once
// Where the octave-band page's two boxes lie, in pixels: the grid box, whose
// plot area lies kRtaPlotMargin inside each of its edges (the level axis from
// its minimum on row gridHeight - 40 to its maximum on row 40, the frequency
// axis from column 40 to gridWidth - 40), and the graph box the curves are
// drawn on, laid over the grid. Curve rows and columns count from the graph's
// (0, 0). Plain values, any thread.

#include <cstdint>

namespace engine {

inline constexpr int kRtaPlotMargin = 40;

struct RtaGeometry {
    int gridWidth = 0;
    int gridHeight = 0;
    int graphLeft = 0; // the graph's (0, 0) in grid pixels
    int graphTop = 0;
    int graphWidth = 0;
    int graphHeight = 0;
};

// Width of the plot area: the frequency axis spans it.
constexpr int plotWidth(const RtaGeometry& g)
{
    return g.gridWidth - 2 * kRtaPlotMargin;
}

// Graph column of the plot's left edge (the frequency axis' minimum).
constexpr int plotLeftOnGraph(const RtaGeometry& g)
{
    return kRtaPlotMargin - g.graphLeft;
}

// Graph row of the plot's bottom edge, where the level axis' minimum lies:
// the lowest row a curve is drawn on.
constexpr std::int32_t bottomRow(const RtaGeometry& g)
{
    return g.gridHeight - kRtaPlotMargin - g.graphTop;
}

} // namespace engine
