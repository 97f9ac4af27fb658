#pragma once
// Draws lines of text whose words recur from one call to the next (readings,
// a status line) from words laid out once and kept. Laying out a line of
// text again for each new reading costs more than drawing it; most words of
// such a line (labels, units) are the same as last time, and numbers are
// made of few characters. A line is split at its spaces; each word is drawn
// from its kept layout, a number character by character, and each space
// advances by the font's space width. UI thread only.

#include <QFont>
#include <QHash>
#include <QPointF>
#include <QStaticText>
#include <QString>

class QPainter;

namespace display {

class WordCache {
public:
    // Draws `text` (one line) in the painter's font and pen with its cell's
    // top-left corner at `topLeft`.
    void draw(QPainter& painter, QPointF topLeft, const QString& text);

private:
    struct Word {
        QStaticText layout;
        qreal advance = 0;
    };
    // More words than a few screens of readings: something is counting.
    static constexpr qsizetype kMaxWords = 512;

    const Word& word(const QString& text);

    QFont font_;
    qreal spaceAdvance_ = 0;
    QHash<QString, Word> words_;
};

} // namespace display
