#include "word_cache.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringView>

namespace display {
namespace {

bool isNumber(QStringView token)
{
    if (token.isEmpty())
        return false;
    for (const QChar c : token)
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char(',') &&
            c != QLatin1Char('-') && c != QLatin1Char('+'))
            return false;
    return true;
}

} // namespace

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
        const QStringView token = QStringView(text).mid(start, end - start);
        if (isNumber(token)) {
            // Numbers change from one call to the next; their digits do not.
            for (const QChar c : token) {
                const Word& w = word(QString(c));
                painter.drawStaticText(QPointF(x, topLeft.y()), w.layout);
                x += w.advance;
            }
        } else if (!token.isEmpty()) {
            const Word& w = word(token.toString());
            painter.drawStaticText(QPointF(x, topLeft.y()), w.layout);
            x += w.advance;
        }
        x += spaceAdvance_;
        start = end + 1;
    }
}

} // namespace display
