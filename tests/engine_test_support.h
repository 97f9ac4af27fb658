#pragma once
// Shared set-up for the engine tests: heap-held state (it is over a megabyte)
// and 16-bit test blocks.

#include "engine/band_plan.h"
#include "engine/measurement_state.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

namespace enginetest {

inline std::unique_ptr<engine::MeasurementState> makeState()
{
    return std::make_unique<engine::MeasurementState>();
}

// The octave-band page's default layout: the 739 x 465 grid, and the 659 x
// 386 graph over its plot area at (40, 40); the axis minimum on graph row 385.
inline constexpr engine::RtaGeometry kRtaPage{739, 465, 40, 40, 659, 386};
inline constexpr int kRtaBottom = 385;

inline std::unique_ptr<engine::BandPlan> makePlan(int item, engine::MeasurementState& state,
                                                  const engine::RtaGeometry& g = kRtaPage)
{
    auto plan = std::make_unique<engine::BandPlan>();
    engine::buildPrefFreqList(*plan);
    engine::applyOctaveType(*plan, state, item, g);
    return plan;
}

// The default layout with a graph `width` pixels wide.
inline engine::RtaGeometry pageWithGraphWidth(int width)
{
    engine::RtaGeometry g = kRtaPage;
    g.graphWidth = width;
    return g;
}

// A sine of the given peak and frequency, rounded to 16-bit samples.
inline std::vector<std::int16_t> sineBlock(double hz, double peak, int n = 8192)
{
    std::vector<std::int16_t> s(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(peak * std::sin(2 * std::numbers::pi * hz * i / 48000.0)));
    return s;
}

inline std::vector<std::int16_t> constantBlock(std::int16_t v, int n = 8192)
{
    return std::vector<std::int16_t>(static_cast<std::size_t>(n), v);
}

} // namespace enginetest
