#include "level_meter_strip.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QStringList>

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
    // It fills its own background, so a new reading repaints no parent.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelMeterStrip::setValues(const MeterStripValues& values)
{
    values_ = values;
    hasValues_ = true;
    // Hidden (the scope page), it lays out nothing: the paint that shows it
    // again takes the last values.
    stale_ = !isVisible();
    if (!stale_)
        takeValues(true);
}

void LevelMeterStrip::takeValues(bool repaint)
{
    stale_ = false;
    const QRect bar = barRect();
    const int length =
        meterBarLength(values_.fastDb, values_.rangeTopDb, kMeterRangeDb, bar.width() - 2);
    const int mark =
        meterBarLength(values_.maxFastDb, values_.rangeTopDb, kMeterRangeDb, bar.width() - 2);
    if (length != barLength_ || mark != markLength_) {
        barLength_ = length;
        markLength_ = mark;
        if (repaint)
            update(bar);
    }
    const QString text = readingText();
    const QStringList parts = text.split(QLatin1Char('\n'));
    for (int i = 0; i < 2; ++i) {
        const QString line = i < parts.size() ? parts[i] : QString();
        if (line == lines_[i])
            continue;
        if (!repaint) {
            lines_[i] = line;
            continue;
        }
        const WordCache::Columns columns = words_.changedColumns(font(), lines_[i], line);
        lines_[i] = line;
        const QPoint at = linePosition(i);
        update(QRect(at.x() + columns.left, at.y(), columns.right - columns.left,
                     fontMetrics().height()));
    }
}

bool LevelMeterStrip::event(QEvent* event)
{
    // The tool tip is written when it is asked for, not for every block.
    if (event->type() == QEvent::ToolTip)
        setToolTip(hasValues_ ? readingText() : QString());
    return QWidget::event(event);
}

QRect LevelMeterStrip::barRect() const
{
    return QRect(0, 3, kBarWidth, height() - 6);
}

QPoint LevelMeterStrip::linePosition(int line) const
{
    // The two lines centred on the height, as a two-line text would stand.
    const QFontMetrics m = fontMetrics();
    const int top = (height() - (m.lineSpacing() + m.height())) / 2;
    return QPoint(kBarWidth + 8, top + line * m.lineSpacing());
}

QString LevelMeterStrip::readingText() const
{
    const MeterStripValues& v = values_;
    const QString& w = v.weighting;
    return QStringLiteral("L%1F %2   L%1S %3   L%1eq %4 %6\nL%1Fmax %5   %7 %8 dBFS")
        .arg(w, meterLevelText(v.fastDb), meterLevelText(v.slowDb), meterLevelText(v.leqDb),
             meterLevelText(v.maxFastDb), v.unit, v.peakLabel, meterLevelText(v.peakDbfs));
}

void LevelMeterStrip::paintEvent(QPaintEvent* event)
{
    if (stale_)
        takeValues(false);
    QPainter p(this);
    const QRect r = event->rect();
    p.fillRect(r, palette().brush(backgroundRole()));
    const QRect bar = barRect();
    p.fillRect(bar, Qt::black);
    if (hasValues_) {
        p.fillRect(QRect(bar.left() + 1, bar.top() + 1, barLength_, bar.height() - 2),
                   QColor(0, 200, 0));
        // The Fast maximum as a thin mark.
        if (markLength_ > 0)
            p.fillRect(QRect(bar.left() + markLength_, bar.top() + 1, 2, bar.height() - 2),
                       QColor(255, 200, 0));
    }
    p.setPen(palette().color(QPalette::WindowText));
    if (hasValues_)
        for (int i = 0; i < 2; ++i)
            words_.draw(p, linePosition(i), lines_[i], r.left(), r.right() + 1);
}

} // namespace display
