// Times one octave-band block as the program handles it, for each band plan:
// the main window's block handler with windowing, transform, band sums, rows,
// average, the staircase drawn into the page's images and slot 0. A block
// arrives every 170.7 ms. Also one grid paint, which runs on repaints only.

#include "app/frm_main.h"
#include "app/message_box.h"

#include "dsp/window_table.h"

#include <QApplication>
#include <QComboBox>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

app::AppState gState;

std::vector<std::int16_t> noiseBlock()
{
    std::mt19937 gen(1);
    std::normal_distribution<double> dist(0.0, 3.0); // a level inside the default axis
    std::vector<std::int16_t> x(engine::kBlockSamples);
    for (auto& v : x)
        v = static_cast<std::int16_t>(std::lround(dist(gen)));
    return x;
}

std::unique_ptr<app::TfrmMain> makeWindow(int plan)
{
    app::setMessagePresenter([](QWidget*, const QString&) {});
    auto w = std::make_unique<app::TfrmMain>(gState, QCoreApplication::applicationDirPath());
    dsp::BuildWindowTable(1, gState.measurement.Window);
    w->show();
    w->cboOctaveType->setCurrentIndex(plan);
    w->pgcAnalyzersChange();
    QCoreApplication::processEvents();
    return w;
}

// range(0): the resolution item, 0 "1 Octave" .. 3 "1/12 Octave".
void BM_RtaPageBlock(benchmark::State& run)
{
    const auto w = makeWindow(static_cast<int>(run.range(0)));
    w->cboAveraging->setCurrentIndex(2);
    w->cboAveragingChange();
    std::vector<std::int16_t> block = noiseBlock();
    for (auto _ : run) {
        int size = engine::kBlockBytes;
        const bool requeue =
            w->AudioIn1BufferFilled(reinterpret_cast<std::uint8_t*>(block.data()), size);
        benchmark::DoNotOptimize(requeue);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RtaPageBlock)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_RtaGridPaint(benchmark::State& run)
{
    const auto w = makeWindow(1);
    for (auto _ : run) {
        w->pbxOctGridPaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RtaGridPaint)->Unit(benchmark::kMicrosecond);

} // namespace
