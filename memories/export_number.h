#pragma once
// How the exports write their numbers: the shortest decimal form that reads
// back as the same double, with a dot whatever the locale; a level that is
// not there is an empty field, never "nan" or "-inf".

#include "spectrum_rec.h"

#include <QByteArray>

namespace memories {

QByteArray exportNumber(double v);

// The level of band j (1 .. bands - 1) of a slot as exported: empty for a
// band that holds no FFT bin and for a level that is not finite.
QByteArray exportLevel(const SpectrumRec& rec, int j);

} // namespace memories
