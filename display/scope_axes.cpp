#include "scope_axes.h"

#include "scope_grid.h"

#include "engine/scope_units.h"

#include <cmath>

namespace display {

void paintScopeAxisLabels(Canvas& canvas, const QRect& screen, const ScopeAxisLabels& labels)
{
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.setFontColor(engine::clWindowText);
    const float pitchX = scopeGridPitch(screen.width());
    const float pitchY = scopeGridPitch(screen.height());
    const int textHeight = canvas.TextHeight("0");
    const double perDivision =
        labels.pascalPerDivision ? *labels.pascalPerDivision : labels.fullScalePerDivision;
    for (int i = 0; i <= kScopeDivisions; ++i) {
        const int y = screen.top() + static_cast<int>(std::nearbyint(i * pitchY));
        const QString text = QString::fromStdString(
            engine::scopeLabelNumber((kScopeDivisions / 2 - i) * perDivision));
        canvas.TextOut(screen.left() - 10 - canvas.TextWidth(text), y - textHeight / 2, text);
    }
    // The unit at the far left of the top line's label.
    canvas.TextOut(4, screen.top() - textHeight / 2, labels.levelUnit);

    const int below = screen.bottom() + 12;
    for (int i = 0; i <= kScopeDivisions; i += 2) {
        const int x = screen.left() + static_cast<int>(std::nearbyint(i * pitchX));
        const QString text =
            QString::fromStdString(engine::scopeLabelNumber(i * labels.millisecondsPerDivision));
        canvas.TextOut(x - canvas.TextWidth(text) / 2, below, text);
    }

    // What a division is worth, with the level of that amplitude in dBFS.
    const double db = 20 * std::log10(labels.fullScalePerDivision);
    QString scale =
        QString("1 div = %1 %2")
            .arg(QString::fromStdString(engine::scopeLabelNumber(perDivision)), labels.levelUnit);
    scale += QString(" (%1 dBFS)").arg(db, 0, 'f', 1);
    scale += QString(", %1 ms").arg(
        QString::fromStdString(engine::scopeLabelNumber(labels.millisecondsPerDivision)));
    canvas.TextOut(screen.left(), below + textHeight + 2, scale);
    canvas.TextOut(screen.right() + 1 - canvas.TextWidth(labels.timeTitle), below + textHeight + 2,
                   labels.timeTitle);
}

} // namespace display
