#pragma once
// The level meter strip of the RTA and FFT pages: a bar of the Fast level
// over the meter's range and the readings as text (Fast, Slow, Leq, maximum
// of Fast, peak), each with its symbol and the unit. UI thread only.

#include "word_cache.h"

#include <QString>
#include <QWidget>

#include <optional>

namespace display {

// What the strip shows; a level that is not finite shows as "—".
struct MeterStripValues {
    double fastDb = 0, slowDb = 0, leqDb = 0, maxFastDb = 0; // in the unit's reference
    double peakDbfs = 0;                                     // relative to 32768
    double rangeTopDb = 0; // the bar's full length: 0 dBFS in the unit's reference
    QString weighting;     // "A", "C" or "Z"
    QString unit;          // e.g. "dB SPL"
    QString peakLabel;     // "Spitze"
};

// Pixels of a bar `width` long for a level on a range of `rangeDb` dB ending
// at `topDb`: 0 at topDb - rangeDb and below (and for NaN), width at topDb
// and above, linear between, rounded half to even.
int meterBarLength(double levelDb, double topDb, double rangeDb, int width);

class LevelMeterStrip : public QWidget {
public:
    explicit LevelMeterStrip(QWidget* parent = nullptr);

    void setValues(const MeterStripValues& values);
    const MeterStripValues& values() const { return values_; }
    // The readings as the strip writes them (for tests and the tool tip).
    QString readingText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The bar's rectangle, and where the two lines of readings stand.
    QRect barRect() const;
    QPoint linePosition(int line) const;
    // Brings the bar and the lines to the values, repainting what changed.
    void takeValues(bool repaint);

    MeterStripValues values_;
    bool hasValues_ = false;
    bool stale_ = false; // values taken while hidden, not yet laid out
    // What is shown: a block repaints only what changed of it, and a word's
    // glyphs are laid out once.
    int barLength_ = 0;
    int markLength_ = 0;
    QString lines_[2];
    WordCache words_;
};

// A level with one decimal, or "—" when it is not finite.
QString meterLevelText(double db);

} // namespace display
