#include "word_cache.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

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

void WordCache::useFont(const QFont& font)
{
    if (hasFont_ && font == font_)
        return;
    font_ = font;
    hasFont_ = true;
    words_.clear();
    spaceAdvance_ = QFontMetricsF(font_).horizontalAdvance(QLatin1Char(' '));
}

const WordCache::Word& WordCache::word(QStringView text)
{
    const QString key = text.toString();
    const auto found = words_.constFind(key);
    if (found != words_.constEnd())
        return *found;
    if (words_.size() >= kMaxWords)
        words_.clear();
    Word w;
    w.layout.setText(key);
    w.layout.setTextFormat(Qt::PlainText);
    w.layout.prepare(QTransform(), font_);
    w.advance = QFontMetricsF(font_).horizontalAdvance(key);
    return *words_.insert(key, w);
}

void WordCache::place(const QString& text, std::vector<Piece>& pieces)
{
    pieces.clear();
    qreal x = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = text.size();
        const QStringView token = QStringView(text).mid(start, end - start);
        if (isNumber(token)) {
            // Numbers change from one call to the next; their digits do not.
            for (qsizetype i = 0; i < token.size(); ++i) {
                const QStringView c = token.mid(i, 1);
                const Word& w = word(c);
                pieces.push_back({c, x, w.advance, w.layout});
                x += w.advance;
            }
        } else if (!token.isEmpty()) {
            const Word& w = word(token);
            pieces.push_back({token, x, w.advance, w.layout});
            x += w.advance;
        }
        x += spaceAdvance_;
        start = end + 1;
    }
}

void WordCache::draw(QPainter& painter, QPointF topLeft, const QString& text, qreal left,
                     qreal right)
{
    useFont(painter.font());
    place(text, line_);
    for (const Piece& p : line_) {
        const qreal x = topLeft.x() + p.x;
        if (x + p.advance + kOverhang < left || x - kOverhang > right)
            continue;
        painter.drawStaticText(QPointF(x, topLeft.y()), p.layout);
    }
}

WordCache::Columns WordCache::changedColumns(const QFont& font, const QString& before,
                                             const QString& after)
{
    useFont(font);
    place(before, before_);
    place(after, after_);
    const auto same = [](const Piece& a, const Piece& b) {
        return a.x == b.x && a.text == b.text;
    };
    std::size_t first = 0;
    while (first < before_.size() && first < after_.size() && same(before_[first], after_[first]))
        ++first;
    std::size_t endBefore = before_.size();
    std::size_t endAfter = after_.size();
    while (endBefore > first && endAfter > first &&
           same(before_[endBefore - 1], after_[endAfter - 1])) {
        --endBefore;
        --endAfter;
    }
    qreal lo = 1e9;
    qreal hi = -1e9;
    for (std::size_t i = first; i < endBefore; ++i) {
        lo = std::min(lo, before_[i].x);
        hi = std::max(hi, before_[i].x + before_[i].advance);
    }
    for (std::size_t i = first; i < endAfter; ++i) {
        lo = std::min(lo, after_[i].x);
        hi = std::max(hi, after_[i].x + after_[i].advance);
    }
    if (hi < lo)
        return {};
    return {static_cast<int>(std::floor(lo)) - kOverhang,
            static_cast<int>(std::ceil(hi)) + kOverhang};
}

} // namespace display
