#pragma once
// The text export of the last octave-band measurement: line 1
// "Spectrum from Spectrion", line 2 the file's full path, then (when known)
// a line describing the levels' reference, weighting and calibration, then
// one line per
// band-plan entry j: border j in Hz, ", ", and the level in dB of band j (the
// band ending at that border) as the curve shows it, averaged. Numbers only
// (export_number.h): entry 0, which ends no band, a band that holds no FFT
// bin and a level that is not finite leave the level empty ("17,"). A last
// line "dropped blocks, N" gives the blocks the capture had lost until then,
// when that is known. Numbers are written with a dot whatever the locale, so
// the ", " stays unambiguous; lines end in CR LF, UTF-8. UI thread only.

#include "spectrum_rec.h"

#include <QByteArray>
#include <QString>

namespace memories {

// The name the export is written to: `chosen` with ".txt" appended unless it
// already ends in ".txt" (any case).
QString exportFileName(const QString& chosen);

// The text of an export of the measurement in `rec` (its borders `f`, levels
// and `bands`) to `fullPath`.
QByteArray spectrumExportText(const QString& fullPath, const SpectrumRec& rec);

// Writes it atomically (no partly written file is ever left). Returns an empty
// string or a German message naming the file.
QString writeSpectrumExport(const QString& path, const SpectrumRec& rec);

} // namespace memories
