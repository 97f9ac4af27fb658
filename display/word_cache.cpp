#include "word_cache.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringView>

namespace display {

const WordCache::Word& WordCache::word(const QString& text)
{
    const auto found = words_.constFind(text);
    if (found != words_.constEnd())
        return *found;
    if (words_.size() >= kMaxWords)
        words_.clear();
    Word w;
    w.layout.setText(text);
    w.layout.setTextFormat(Qt::PlainText);
    w.layout.prepare(QTransform(), font_);
    w.advance = QFontMetricsF(font_).horizontalAdvance(text);
    return *words_.insert(text, w);
}

void WordCache::draw(QPainter& painter, QPointF topLeft, const QString& text)
{
    if (painter.font() != font_ || words_.isEmpty()) {
        font_ = painter.font();
        words_.clear();
        spaceAdvance_ = QFontMetricsF(font_).horizontalAdvance(QLatin1Char(' '));
    }
    qreal x = topLeft.x();
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = text.size();
        if (end > start) {
            const Word& w = word(text.mid(start, end - start));
            painter.drawStaticText(QPointF(x, topLeft.y()), w.layout);
            x += w.advance;
        }
        x += spaceAdvance_;
        start = end + 1;
    }
}

} // namespace display
