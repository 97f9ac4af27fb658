#include "level_meter_strip.h"

#include <QPainter>

#include <cmath>

namespace display {
namespace {

// The bar spans the 100 dB below full scale.
constexpr double kMeterRangeDb = 100.0;
constexpr int kBarWidth = 90;

} // namespace

int meterBarLength(double levelDb, double topDb, double rangeDb, int width)
{
    if (!(levelDb > topDb - rangeDb) || !(rangeDb > 0))
        return 0;
    if (levelDb >= topDb)
        return width;
    return static_cast<int>(std::nearbyint((levelDb - (topDb - rangeDb)) / rangeDb * width));
}

QString meterLevelText(double db)
{
    if (!std::isfinite(db))
        return QStringLiteral("—");
    return QString::number(db, 'f', 1);
}

LevelMeterStrip::LevelMeterStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LevelMeterStrip"));
}

void LevelMeterStrip::setValues(const MeterStripValues& values)
{
    values_ = values;
    hasValues_ = true;
    setToolTip(readingText());
    update();
}

QString LevelMeterStrip::readingText() const
{
    const MeterStripValues& v = values_;
    const QString& w = v.weighting;
    return QStringLiteral("L%1F %2   L%1S %3   L%1eq %4 %6\nL%1Fmax %5   %7 %8 dBFS")
        .arg(w, meterLevelText(v.fastDb), meterLevelText(v.slowDb), meterLevelText(v.leqDb),
             meterLevelText(v.maxFastDb), v.unit, v.peakLabel, meterLevelText(v.peakDbfs));
}

void LevelMeterStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect bar(0, 3, kBarWidth, height() - 6);
    p.fillRect(bar, Qt::black);
    if (hasValues_) {
        const int length =
            meterBarLength(values_.fastDb, values_.rangeTopDb, kMeterRangeDb, bar.width() - 2);
        p.fillRect(QRect(bar.left() + 1, bar.top() + 1, length, bar.height() - 2),
                   QColor(0, 200, 0));
        // The Fast maximum as a thin mark.
        const int mark =
            meterBarLength(values_.maxFastDb, values_.rangeTopDb, kMeterRangeDb, bar.width() - 2);
        if (mark > 0)
            p.fillRect(QRect(bar.left() + mark, bar.top() + 1, 2, bar.height() - 2),
                       QColor(255, 200, 0));
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(kBarWidth + 8, 0, width() - kBarWidth - 8, height()),
               Qt::AlignVCenter | Qt::AlignLeft, hasValues_ ? readingText() : QString());
}

} // namespace display
