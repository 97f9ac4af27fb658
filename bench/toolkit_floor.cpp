// What the widget toolkit alone costs at our block rate, for bench/live_cost
// to print beside the program: a window of the analyzer's default size whose
// only work is a timer at the block period that changes one line of text (or,
// with --idle, nothing). The line is an opaque widget that fills its strip
// and draws the text, the cheapest way the toolkit shows a changed reading.
// No capture, no analysis, no graph: whatever this costs, every page of the
// program pays too.
//
//   toolkit_floor [--idle]
//
// With SPECTRION_REPORT_FIRST_PAINT set it reports its first paint as the
// program does.

#include "app/first_paint_report.h"
#include "app/form_layout.h"
#include "engine/types.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

class TextStrip final : public QWidget {
public:
    explicit TextStrip(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
    void setText(const QString& text)
    {
        text_ = text;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text_);
    }

private:
    QString text_ = QStringLiteral("Block 0");
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    bool idle = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--idle") == 0) {
            idle = true;
        } else {
            std::fprintf(stderr, "toolkit_floor: unknown argument '%s' (only --idle)\n", argv[i]);
            return 2;
        }
    }

    QWidget window;
    window.resize(app::kDefaultClient);
    auto* line = new TextStrip(&window);
    const int height = window.fontMetrics().height() + 4;
    line->setGeometry(0, window.height() - height, window.width(), height);
    app::reportFirstPaintIfAsked(window);
    window.show();

    QTimer block;
    block.setTimerType(Qt::PreciseTimer);
    block.setInterval(engine::kBlockSamples * 1000 / engine::kFrameRate);
    long long blocks = 0;
    QObject::connect(&block, &QTimer::timeout, line, [&] {
        ++blocks;
        if (!idle)
            line->setText(QStringLiteral("Block %1   L = %2 dB")
                              .arg(blocks)
                              .arg(-20.0 - static_cast<double>(blocks % 7) / 10, 0, 'f', 1));
    });
    block.start();
    return application.exec();
}
