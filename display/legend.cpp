#include "legend.h"

#include "colour_map.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace display {
namespace {

constexpr int kPadding = 4;
constexpr int kMaxTextWidth = 220;

} // namespace

Legend::Legend(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

QString Legend::shown(const QString& text) const
{
    return fontMetrics().elidedText(text, Qt::ElideRight, kMaxTextWidth);
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
    for (const LegendEntry& e : entries_)
        width = std::max(width, m.horizontalAdvance(shown(e.text)));
    resize(width + 2 * kPadding + 2, static_cast<int>(entries_.size()) * m.height() + 2 * kPadding);
    show();
    update();
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
        p.drawText(kPadding + 1, y + m.ascent(), shown(e.text));
        y += m.height();
    }
}

} // namespace display
