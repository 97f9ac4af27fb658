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
    if (hasFont_ && font == font_) {
        // Forgotten before a call places anything: kept pieces point to them.
        if (store_.size() >= static_cast<std::size_t>(kMaxWords))
            forgetWords();
        return;
    }
    font_ = font;
    hasFont_ = true;
    forgetWords();
    spaceAdvance_ = QFontMetricsF(font_).horizontalAdvance(QLatin1Char(' '));
}

void WordCache::forgetWords()
{
    for (Placement& p : placements_) {
        p.text = QString();
        p.pieces.clear();
    }
    words_.clear();
    characters_.fill(nullptr);
    store_.clear();
}

const WordCache::Word& WordCache::word(QStringView text)
{
    const bool character = text.size() == 1 && text[0].unicode() < characters_.size();
    if (character)
        if (const Word* w = characters_[text[0].unicode()])
            return *w;
    const QString key = text.toString();
    if (!character)
        if (const auto found = words_.constFind(key); found != words_.constEnd())
            return **found;
    Word& w = store_.emplace_back();
    w.layout.setText(key);
    w.layout.setTextFormat(Qt::PlainText);
    w.layout.prepare(QTransform(), font_);
    w.advance = QFontMetricsF(font_).horizontalAdvance(key);
    if (character)
        characters_[text[0].unicode()] = &w;
    else
        words_.insert(key, &w);
    return w;
}

const std::vector<WordCache::Piece>& WordCache::place(const QString& text)
{
    for (const Placement& p : placements_)
        if (p.text == text)
            return p.pieces;
    Placement& placed = placements_[nextPlacement_];
    nextPlacement_ = (nextPlacement_ + 1) % placements_.size();
    placed.text = text;
    std::vector<Piece>& pieces = placed.pieces;
    pieces.clear();
    const QString& kept = placed.text;
    qreal x = 0;
    for (qsizetype start = 0; start <= kept.size();) {
        qsizetype end = kept.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = kept.size();
        const QStringView token = QStringView(kept).mid(start, end - start);
        if (isNumber(token)) {
            // Numbers change from one call to the next; their digits do not.
            for (qsizetype i = 0; i < token.size(); ++i) {
                const QStringView c = token.mid(i, 1);
                const Word& w = word(c);
                pieces.push_back({c, x, &w});
                x += w.advance;
            }
        } else if (!token.isEmpty()) {
            const Word& w = word(token);
            pieces.push_back({token, x, &w});
            x += w.advance;
        }
        x += spaceAdvance_;
        start = end + 1;
    }
    return pieces;
}

void WordCache::draw(QPainter& painter, QPointF topLeft, const QString& text, qreal left,
                     qreal right)
{
    useFont(painter.font());
    for (const Piece& p : place(text)) {
        const qreal x = topLeft.x() + p.x;
        if (x + p.word->advance + kOverhang < left || x - kOverhang > right)
            continue;
        painter.drawStaticText(QPointF(x, topLeft.y()), p.word->layout);
    }
}

WordCache::Columns WordCache::changedColumns(const QFont& font, const QString& before,
                                             const QString& after)
{
    useFont(font);
    // Both placements stay kept: the paint that follows draws `after`.
    const std::vector<Piece>& now = place(after);
    const std::vector<Piece>& was = place(before);
    const auto same = [](const Piece& a, const Piece& b) {
        return a.x == b.x && a.text == b.text;
    };
    std::size_t first = 0;
    while (first < was.size() && first < now.size() && same(was[first], now[first]))
        ++first;
    std::size_t endBefore = was.size();
    std::size_t endAfter = now.size();
    while (endBefore > first && endAfter > first &&
           same(was[endBefore - 1], now[endAfter - 1])) {
        --endBefore;
        --endAfter;
    }
    qreal lo = 1e9;
    qreal hi = -1e9;
    for (std::size_t i = first; i < endBefore; ++i) {
        lo = std::min(lo, was[i].x);
        hi = std::max(hi, was[i].x + was[i].word->advance);
    }
    for (std::size_t i = first; i < endAfter; ++i) {
        lo = std::min(lo, now[i].x);
        hi = std::max(hi, now[i].x + now[i].word->advance);
    }
    if (hi < lo)
        return {};
    return {static_cast<int>(std::floor(lo)) - kOverhang,
            static_cast<int>(std::ceil(hi)) + kOverhang};
}

} // namespace display
