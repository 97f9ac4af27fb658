#pragma once
// Draws lines of text whose words recur from one call to the next (readings,
// a status line) from words laid out once and kept, and tells which part of
// a line a new text changes. Laying out and drawing a whole line again for
// each new reading costs more than the rest of a block's repaint; most words
// of such a line (labels, units) are the same as last time, and numbers are
// made of few characters. A line is split at its spaces; each word is drawn
// from its kept layout, a number character by character, and each space
// advances by the font's space width. UI thread only.

#include <QFont>
#include <QHash>
#include <QPointF>
#include <QStaticText>
#include <QString>
#include <QStringView>

#include <array>
#include <deque>
#include <vector>

class QPainter;

namespace display {

class WordCache {
public:
    // Draws `text` (one line) in the painter's font and pen with its cell's
    // top-left corner at `topLeft`, leaving out the pieces that lie wholly
    // left of `left` or right of `right` (x in the painter's coordinates):
    // a repaint of part of the line draws that part.
    void draw(QPainter& painter, QPointF topLeft, const QString& text, qreal left = -1e9,
              qreal right = 1e9);

    // The columns [left, right) in which `after` drawn in `font` from x = 0
    // differs from `before` drawn there, widened by kOverhang for glyphs
    // that reach beyond their advance; left >= right when both are the same.
    struct Columns {
        int left = 0;
        int right = 0;
    };
    Columns changedColumns(const QFont& font, const QString& before, const QString& after);

    // Pixels a glyph may reach beyond its advance on either side.
    static constexpr int kOverhang = 2;

private:
    struct Word {
        QStaticText layout;
        qreal advance = 0;
    };
    // A word or a number's character where it stands on the line.
    struct Piece {
        QStringView text; // into the placed line's kept copy
        qreal x = 0;
        const Word* word = nullptr;
    };
    // A line laid out, kept while it may be asked for again: the text just
    // replaced, the one now shown, and a paint drawing them.
    struct Placement {
        QString text;
        std::vector<Piece> pieces;
    };
    // More words than a few screens of readings: something is counting.
    static constexpr qsizetype kMaxWords = 512;
    static constexpr std::size_t kKeptPlacements = 4;

    void useFont(const QFont& font);
    void forgetWords();
    const Word& word(QStringView text);
    // The pieces of `text` from x = 0, laid out again only when not kept.
    const std::vector<Piece>& place(const QString& text);

    QFont font_;
    bool hasFont_ = false;
    qreal spaceAdvance_ = 0;
    // Words stay where they are while kept: pieces point to them.
    std::deque<Word> store_;
    QHash<QString, const Word*> words_;
    // Single characters (the digits of numbers) without a look-up by string.
    std::array<const Word*, 128> characters_{};
    std::array<Placement, kKeptPlacements> placements_;
    std::size_t nextPlacement_ = 0;
};

} // namespace display
