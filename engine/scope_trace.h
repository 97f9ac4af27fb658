#pragma once
// The oscilloscope trace of one block as numbers: a staircase over the ring
// window that ends with the newest sample. The display moves the pen to
// (0, startRow); then for every step it restores columns x0 .. x1 - 1 from
// the empty grid and draws a line to (x0, row) and on to (x1, row), lines
// leaving out their end pixel. The steps' strips join up and reach the right
// edge, so every column shows the new trace or the bare grid, whatever the
// time base was before, and the last column shows the newest sample. UI
// thread only; allocates nothing.

#include "measurement_state.h"

#include <array>
#include <cstdint>
#include <optional>

namespace engine {

// Widest scope screen, in pixels, that a trace can describe.
inline constexpr int kScopeMaxColumns = 4096;

// One step of the pass that reaches a new pixel column (x1 > x0).
struct ScopeStep {
    std::int32_t k;  // step index; it reads ring position r0 + k
    std::int32_t x0; // may be negative for the first step
    std::int32_t x1;
    std::int32_t row; // screen row of the step's sample
    // Rows of the highest and the lowest sample from the previous recorded
    // step's sample to this one's (this one alone for the first): where a
    // column holds several samples, its envelope, so no peak is lost.
    std::int32_t rowHigh;
    std::int32_t rowLow;
};

// About 64 KiB: the display keeps one for the page, filled anew per block.
struct ScopeTrace {
    float xStep = 0.0f;             // pixels per sample
    std::int32_t YCenterline = 0;   // height div 2
    std::int32_t firstPosition = 0; // ring position r0 of step 0
    std::int32_t startRow = 0;      // the pen starts at (0, startRow)
    std::int32_t lastStep = -1;     // k of the last step the pass visited
    std::int32_t count = 0;         // steps[0 .. count - 1]
    // Recorded steps have strictly increasing x1 within 0 .. width, so at
    // most width + 1 of them (see computeScopeTrace).
    std::array<ScopeStep, kScopeMaxColumns + 1> steps{};
};

// Zoom gain of slider position 0 .. 15: 2^(15 - position), 1 to 32768.
float zoomGain(int zoomPosition);

// The screen row of a sample value (not necessarily whole) on a screen
// `height` rows high, as the trace places samples: Round(height div 2 +
// 320 offsetPosition - G (height div 2) / 32768 value); nothing for a zoom
// position outside 0 .. 15 or a row beyond 32 bits.
std::optional<std::int32_t> scopeValueRow(int height, int zoomPosition, int offsetPosition,
                                          long double value);

// Computes the trace for a screen of width x height pixels from the ring,
// ScopeBufferCounter and CurrtDiv, with the zoom slider at
// zoomPosition (0 .. 15) and the offset slider at offsetPosition (320 pixels
// per unit). Step k reads ring position r0 + k and spans the columns
// trunc((k - 1) xStep) .. trunc(k xStep) - 1, with xStep = (width - 1) /
// (frameRate 10 CurrtDiv) pixels per sample; the pass ends with the first
// step that reaches the right edge (its x1 is cut to width), and r0 is
// chosen so that this step reads the newest sample. Returns false, with
// out.count 0, when nothing can be drawn: a width outside 2 ..
// kScopeMaxColumns, a negative height, a zoom position outside 0 to 15, no
// time base yet (or less than one sample per screen), a pass of more than
// 2^23 samples, or a row beyond 32 bits. With firstSample (a sample count
// as ScopeBufferCounter numbers them) r0 is that sample's position instead:
// a triggered trace.
bool computeScopeTrace(const MeasurementState& state, int width, int height, int zoomPosition,
                       int offsetPosition, ScopeTrace& out, int frameRate = kFrameRate,
                       std::optional<std::int64_t> firstSample = std::nullopt);

} // namespace engine
