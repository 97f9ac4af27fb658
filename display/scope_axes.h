#pragma once
// The oscilloscope's scale texts around its screen: each horizontal grid
// line labelled in full scale (or pascal, once a calibration exists) on the
// left, each vertical one in milliseconds below, and what one division is
// worth. Drawn on the page's own box behind the screen's frame.
// UI thread only.

#include "canvas.h"

#include <QRect>
#include <QString>

#include <optional>

namespace display {

struct ScopeAxisLabels {
    double fullScalePerDivision = 0.2;
    std::optional<double> pascalPerDivision; // labels in Pa when given
    double millisecondsPerDivision = 0.5;
    QString levelUnit; // "FS" or "Pa"
    QString timeTitle; // "t [ms]"
};

// `screen`: where the 10 x 10 division screen lies on `canvas`.
void paintScopeAxisLabels(Canvas& canvas, const QRect& screen, const ScopeAxisLabels& labels);

} // namespace display
