#include "legend.h"

#include "colour_map.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace display {
namespace {

constexpr int kPadding = 4;
constexpr int kMaxTextWidth = 220;
constexpr int kMaxNoteWidth = 300;
// Notes stand a little in from the texts they belong to.
constexpr int kNoteIndent = 12;

} // namespace

Legend::Legend(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

QString Legend::shown(const QString& text, int width) const
{
    return fontMetrics().elidedText(text, Qt::ElideRight, width);
}

void Legend::setEntries(std::vector<LegendEntry> entries, engine::TColor background,
                        engine::TColor frame)
{
    entries_ = std::move(entries);
    background_ = background;
    frame_ = frame;
    if (entries_.empty()) {
        hide();
        return;
    }
    const QFontMetrics m = fontMetrics();
    int width = 0;
    int lines = 0;
    for (const LegendEntry& e : entries_) {
        width = std::max(width, m.horizontalAdvance(shown(e.text, kMaxTextWidth)));
        ++lines;
        if (!e.note.isEmpty()) {
            width =
                std::max(width, kNoteIndent + m.horizontalAdvance(shown(e.note, kMaxNoteWidth)));
            ++lines;
        }
    }
    resize(width + 2 * kPadding + 2, lines * m.height() + 2 * kPadding);
    show();
    update();
}

void Legend::placeOver(const QWidget& graph, std::span<const DrawnCurve> curves)
{
    if (isHidden())
        return;
    const Rect place = placeLegend(width(), height(), graph.width(), graph.height(), curves);
    move(graph.pos() + QPoint(place.Left, place.Top));
    raise();
}

void Legend::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), toQColor(background_));
    p.setPen(toQColor(frame_));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetrics m = fontMetrics();
    int y = kPadding;
    for (const LegendEntry& e : entries_) {
        p.setPen(toQColor(e.colour));
        p.drawText(kPadding + 1, y + m.ascent(), shown(e.text, kMaxTextWidth));
        y += m.height();
        if (!e.note.isEmpty()) {
            p.setPen(toQColor(frame_));
            p.drawText(kPadding + 1 + kNoteIndent, y + m.ascent(), shown(e.note, kMaxNoteWidth));
            y += m.height();
        }
    }
}

} // namespace display
