#pragma once
// The legend of the RTA graph: one line per curve, its name in its colour, on
// a box of the legend colours (entries 15 and 16 of the colour table). A
// widget laid over the graph, so the curves drawn under it never cover it;
// it takes no mouse input. Where it goes is legend_layout.h's business.
// UI thread only; its Qt parent owns it.

#include "legend_layout.h"

#include "engine/colour.h"

#include <QString>
#include <QWidget>

#include <span>
#include <vector>

namespace display {

struct LegendEntry {
    QString text;
    engine::TColor colour = 0;
    // A second line under the text, in the frame's colour (empty: none):
    // why the curve is not drawn, say.
    QString note;
};

class Legend : public QWidget {
    Q_OBJECT

public:
    explicit Legend(QWidget* parent);

    // The lines and colours; resizes the widget to fit them (texts longer
    // than about 220 pixels, notes longer than about 300, are cut with an
    // ellipsis). No entries hides it.
    void setEntries(std::vector<LegendEntry> entries, engine::TColor background,
                    engine::TColor frame);
    const std::vector<LegendEntry>& entries() const { return entries_; }
    // Moves the legend, a sibling of `graph`, into the corner of the graph
    // where it hides the fewest pixels of `curves` (graph pixels), and
    // raises it; nothing while it is hidden.
    void placeOver(const QWidget& graph, std::span<const DrawnCurve> curves);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString shown(const QString& text, int width) const;

    std::vector<LegendEntry> entries_;
    engine::TColor background_ = 0;
    engine::TColor frame_ = 0;
};

} // namespace display
