#pragma once
// One memory slot: a measurement's band or bin data, the points of its curve
// as drawn, and the user's comment, flags and colour. About 70 KiB, so slots
// live in static storage (see slot_tables.h), never on the stack.

#include "engine/colour.h"
#include "engine/level_basis.h"
#include "engine/types.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

namespace memories {

// An FFT measurement: the power of every bin of one transform. Bin k lies at
// k sampleRate / length Hz; its level in dBFS is engine::fftPowerLevel of
// its power (RMS sample units squared, the calibration's weighting and
// correction applied). Floats: a level to better than 1e-6 dB, and a file's
// levels turn back into exactly these powers.
struct FftSpectrum {
    int length = 0; // transform length (engine::kFftLengths); 0: no FFT measurement
    int sampleRate = 0;
    std::vector<float> power; // length / 2 bins
};

struct SpectrumRec {
    // RTA: the band borders (Hz) of the plan in force when written.
    engine::BinArray f{};
    // RTA: the band rows of the block, before averaging.
    engine::BinArray l{};
    // The curve's points as drawn when written: row 0 x, row 1 y, one pair
    // per band or bin.
    engine::CoordArray coordinates{};
    // Valid entries: validbands of the plan (RTA), bins drawn (FFT).
    std::int32_t bands = 0;
    // The user's comment; empty when nothing was stored.
    QString comment;
    bool HasData = false;
    // Drawn when set together with HasData; mirrors the slot button's state.
    bool DrawMe = false;
    engine::TColor Color = engine::clBlack;

    // RTA: the level in dB of each band as the curve shows it, averaged
    // (entry 0 bounds no band and is NaN; a file may hold -inf for a band
    // without power). With the borders f it is what a stored curve is drawn
    // from, through the axes in force. Then the window type and averaging
    // item it was measured with (-1 when unknown), and when it was stored.
    engine::BinArray levels{};
    int windowType = -1;
    int averaging = -1;
    QDateTime stored;
    // Blocks lost for want of a queued buffer in the capture until this measurement (a part block
    // counts as one); -1 when unknown. A measurement with gaps must not pass for a whole one.
    std::int64_t droppedBlocks = -1;
    // The levels' reference, weighting, calibration, correction and curve,
    // in words; empty when not known (older files).
    QString description;
    // What the levels are relative to: the RTA's levels and an FFT curve's
    // shown levels are in this reference. Files do not name it apart from
    // the description, which it is read back from.
    engine::LevelBasis basis;
    // FFT slots: the spectrum per bin (empty on the other pages).
    FftSpectrum fft;
    // Slots 1 .. 8: changed since last written to or read from a file, so
    // quitting asks before the change is lost.
    bool unsaved = false;
};

} // namespace memories
