// The FFT page in the main window: its set-up, the grid and snapshot it
// paints, the curve each block draws, slot 0 and the stored curves; and a
// picture of the page with a live sine.

#include "app/frm_main.h"
#include "app/message_box.h"

#include "capture/virtual_devices.h"
#include "display/colour_map.h"
#include "display/fft_curves.h"
#include "display/legend.h"
#include "engine/fft_axes.h"
#include "engine/fft_block.h"
#include "settings/store_path.h"

#include "app_test_support.h"
#include "capture_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <random>
#include <vector>

using app::TfrmMain;

namespace {

using apptest::gState;

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kGrey = 0xFF808080;

std::vector<std::int16_t> sine(double hz, double peak)
{
    std::vector<std::int16_t> s(8192);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(
            std::lround(peak * std::sin(2 * std::numbers::pi * hz * double(i) / 48000)));
    return s;
}

std::vector<std::int16_t> constant(std::int16_t v)
{
    return std::vector<std::int16_t>(8192, v);
}

// The topmost pixel of colour `c` in `area` of `image`, scanning rows from
// the top and each row from the left.
std::optional<QPoint> topmost(const QImage& image, const QRect& area, QRgb c)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == c)
                return QPoint(x, y);
    return std::nullopt;
}

class FftPageTest : public apptest::WindowTest {
protected:
    // The window shown on the FFT page, as after a click on its tab; the
    // capture's start has set the zero row.
    TfrmMain& openFftPage()
    {
        create();
        window->show();
        window->pgcAnalyzers->setCurrentIndex(1);
        engine::onCaptureStart(gState.measurement);
        return *window;
    }

    const QImage& gridImage() const { return window->pbxFFTGrid->image(); }
    // The graph's pixels, graph coordinates.
    QImage graphArea() const
    {
        const QRect g = window->pbxFFTGraph->geometry();
        return gridImage().copy(g.translated(-window->pbxFFTGrid->pos()));
    }
};

} // namespace

TEST_F(FftPageTest, SetUpPlacesTheBinsForTheGraphsWidthAndRepaintsGridAndSnapshot)
{
    TfrmMain& w = openFftPage();
    const engine::MeasurementState& m = gState.measurement;
    for (int width : {659, 500, 659}) {
        w.pbxFFTGraph->resize(width, 387);
        w.pgcAnalyzersChange();
        const double columnwidth = width / 24000.0;
        EXPECT_DOUBLE_EQ(m.Columnwidth, columnwidth);
        for (int i : {0, 1, 171, 1000, 4095, 8191})
            EXPECT_EQ(m.NewPoints[0][i], std::lround(std::nearbyint(i * 5.859375L * columnwidth)))
                << width << " bin " << i;
        ASSERT_EQ(w.imgPhantomFFTGrid.width(), width);
        ASSERT_EQ(w.imgPhantomFFTGrid.height(), 387);
        EXPECT_EQ(w.imgPhantomFFTGrid.image(), graphArea()) << width;
        // The 1k line stands on the graph's column of 1 kHz.
        const int line1k = 40 + std::lround(std::nearbyint(1000 * columnwidth));
        EXPECT_EQ(gridImage().pixel(line1k, 115), kGrey) << width;
        EXPECT_EQ(gridImage().pixel(40 + width - 1, 115), kGrey) << width; // the level lines' end
    }
    EXPECT_EQ(m.NewPoints[0][171], 28);
    EXPECT_EQ(gridImage().pixel(67, 115), kGrey);
    EXPECT_EQ(gridImage().pixel(644, 115), kGrey);
}

TEST_F(FftPageTest, EachBlockRedrawsTheCurveOverTheGridAndFillsSlotZero)
{
    TfrmMain& w = openFftPage();
    const QImage grid = w.imgPhantomFFTGrid.image();
    const QRect graph(0, 0, 659, 387);
    const memories::SpectrumRec& last = gState.memory.FFTMemRecord[0];
    const struct {
        const char* what;
        std::vector<std::int16_t> samples;
        int peakX;   // graph column of the curve's top, -1: no curve shows
        int rowFrom; // its row lies in [rowFrom, rowTo]
        int rowTo;
    } inputs[] = {
        // Between two bins the Welch window loses up to 2.2 dB (6.6 rows).
        {"1000 Hz, full scale", sine(1000, 32767), 28, 1, 7},
        {"silence", constant(0), -1, 0, 0},
        {"bin 256, full scale", sine(256 * 48000.0 / 8192, 32767), 41, 0, 0},
        {"DC", constant(-12000), 0, 0, 470},
        {"1000 Hz again", sine(1000, 32767), 28, 1, 7},
    };
    for (const auto& b : inputs) {
        feed(b.samples);
        const QImage shown = graphArea();
        const std::optional<QPoint> top = topmost(shown, graph, kBlack);
        if (b.peakX < 0) {
            // Every point on row 470, below the graph: only the grid shows.
            EXPECT_FALSE(top) << b.what;
            EXPECT_EQ(shown, grid) << b.what;
        } else {
            ASSERT_TRUE(top) << b.what;
            EXPECT_EQ(top->x(), b.peakX) << b.what;
            EXPECT_GE(top->y(), b.rowFrom) << b.what;
            EXPECT_LE(top->y(), b.rowTo) << b.what;
        }
        // Bin 0 has no imaginary part: always row 470.
        EXPECT_EQ(gState.measurement.NewPoints[1][0], 470) << b.what;
        EXPECT_EQ(last.bands, 4096) << b.what;
        EXPECT_EQ(last.coordinates, gState.measurement.NewPoints) << b.what;
        // Every bin's power, for the memories: the last measurement can be stored.
        EXPECT_TRUE(last.HasData) << b.what;
        EXPECT_TRUE(w.mem0->isEnabled()) << b.what;
        ASSERT_EQ(last.fft.power.size(), 4096u) << b.what;
        EXPECT_EQ(last.fft.power[171], static_cast<float>(w.fftAnalysis().average[171])) << b.what;
        EXPECT_TRUE(last.comment.isEmpty()) << b.what;
    }
    // Whatever the grid box's image holds outside the graph is untouched.
    w.pgcAnalyzersChange();
    const QImage fresh = gridImage();
    feed(sine(3000, 20000));
    const QImage after = gridImage();
    const QRect g = w.pbxFFTGraph->geometry();
    for (int y = 0; y < fresh.height(); y += 3) {
        for (int x = 0; x < fresh.width(); ++x) {
            if (!g.contains(x, y)) {
                ASSERT_EQ(after.pixel(x, y), fresh.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(FftPageTest, StoredSpectraAreDrawnFromTheirOwnBinsAndStayBesideTheLiveCurve)
{
    TfrmMain& w = openFftPage();
    // A floor at -70 dBFS and one bin at `peakDb`: bin 171 of 8192 points
    // (1001.95 Hz), bin 4096 of 65536 (3000 Hz).
    const struct {
        int slot;
        bool hasData, drawMe;
        int length, peakBin;
        double peakDb;
        engine::TColor colour;
    } stored[] = {
        {3, true, true, 8192, 171, -20, engine::RGB(255, 0, 0)},
        {4, true, false, 8192, 171, -25, engine::RGB(0, 0, 255)},
        {5, false, true, 8192, 171, -25, engine::RGB(0, 255, 0)},
        {8, true, true, 65536, 4096, -30, engine::RGB(255, 0, 255)},
    };
    for (const auto& s : stored) {
        memories::SpectrumRec& rec = gState.memory.FFTMemRecord[s.slot];
        rec.HasData = s.hasData;
        rec.DrawMe = s.drawMe;
        rec.Color = s.colour;
        rec.basis = {engine::LevelReference::Dbfs, 0.0};
        rec.fft.length = s.length;
        rec.fft.sampleRate = 48000;
        rec.fft.power.assign(s.length / 2, static_cast<float>(engine::fftLevelPower(-70)));
        rec.fft.power[s.peakBin] = static_cast<float>(engine::fftLevelPower(s.peakDb));
    }
    // Each peak on its own frequency and level, on either axis; the
    // snapshot of the grid holds none of them, and a block keeps them.
    for (const engine::FftAxisScale scale :
         {engine::FftAxisScale::Linear, engine::FftAxisScale::Log}) {
        SCOPED_TRACE(static_cast<int>(scale));
        app::FftPageSettings settings = w.fftPageSettings();
        settings.view.scale = scale;
        settings.view.fMin = scale == engine::FftAxisScale::Log ? 20 : 0;
        w.applyFftPageSettings(settings);
        w.pbxFFTGrid->Repaint();
        const auto map = engine::fftFrequencyMap(w.fftPageSettings().view, 659);
        ASSERT_TRUE(map);
        for (const bool afterABlock : {false, true}) {
            if (afterABlock)
                feed(constant(0));
            const QImage shown = graphArea();
            const QImage snapshot = w.imgPhantomFFTGrid.image();
            for (const auto& s : stored) {
                const QRgb c = display::toQRgb(s.colour);
                const std::optional<QPoint> top = topmost(shown, shown.rect(), c);
                const bool drawn = s.hasData && s.drawMe;
                ASSERT_EQ(top.has_value(), drawn) << "slot " << s.slot << ", " << afterABlock;
                if (drawn) {
                    EXPECT_EQ(top->x(), *engine::fftColumnOf(*map, s.peakBin * 48000.0 / s.length))
                        << "slot " << s.slot;
                    EXPECT_EQ(top->y(), std::lround(-3 * s.peakDb)) << "slot " << s.slot;
                }
                EXPECT_FALSE(topmost(snapshot, snapshot.rect(), c)) << "slot " << s.slot;
            }
        }
    }
    // The legend names the shown memories (the live curve too, once it runs or "L" shows it).
    ASSERT_TRUE(w.fftLegend()->isVisibleTo(&w));
    QStringList named;
    for (const display::LegendEntry& e : w.fftLegend()->entries())
        named << e.text.left(1);
    EXPECT_EQ(named, QStringList({"3", "8"}));
}

TEST_F(FftPageTest, PictureOfALiveSineShowsOnePeakOnThe1kLineAtItsLevel)
{
    capture::registerTestSignal("sine:1000");
    TfrmMain& w = openFftPage();
    const int entry = w.WaveDevice->findText("Test signal: sine:1000");
    ASSERT_GE(entry, 1);
    w.WaveDevice->setCurrentIndex(entry);
    w.WaveDeviceChange();
    w.btnONOFFClick();
    ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 3; }, 10000));
    QApplication::processEvents();
    const QImage shot = w.grab().toImage();

    const QPoint grid = w.pbxFFTGrid->mapTo(&w, QPoint(0, 0));
    const QPoint graph = w.pbxFFTGraph->mapTo(&w, QPoint(0, 0));
    const auto at = [&](QPoint origin, int x, int y) { return shot.pixel(origin + QPoint(x, y)); };
    // The grid: level lines, the 1k and 22k lines, labels with glyphs.
    EXPECT_EQ(at(grid, 300, 40), kGrey);
    EXPECT_EQ(at(grid, 300, 430), kGrey);
    EXPECT_EQ(at(grid, 67, 415), kGrey);
    EXPECT_EQ(at(grid, 644, 415), kGrey);
    const auto glyphs = [&](int left, int top, int width, int height) {
        int n = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                n += qGray(at(grid, x, y)) < 0x50;
        return n;
    };
    EXPECT_GT(glyphs(8, 34, 28, 14), 3) << "0";
    EXPECT_GT(glyphs(8, 34 + 360, 28, 14), 10) << "-120";
    EXPECT_GT(glyphs(60, 434, 20, 14), 5) << "1k";
    EXPECT_GT(glyphs(637, 434, 24, 14), 8) << "22k";
    EXPECT_GT(glyphs(0, 10, 90, 22), 20) << "Pegel [dBFS]";

    // One clear peak: a -6 dBFS tone lies 18 rows below the 0 line, and up
    // to 6.6 rows lower between two bins; nothing else of the curve rises
    // above row 150 (-50 dBFS).
    std::optional<QPoint> peak;
    for (int y = 0; y < 300 && !peak; ++y)
        for (int x = 0; x < 659; ++x)
            if (at(graph, x, y) == kBlack) {
                peak = QPoint(x, y);
                break;
            }
    ASSERT_TRUE(peak);
    const int line1k = 67 - (graph.x() - grid.x()); // the 1k line in graph columns
    EXPECT_LE(std::abs(peak->x() - line1k), 1);
    EXPECT_GE(peak->y(), 18);
    EXPECT_LE(peak->y(), 25);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 659; ++x) {
            if (at(graph, x, y) == kBlack) {
                ASSERT_LE(std::abs(x - line1k), 3) << x << "," << y;
            }
        }
    }
}

TEST_F(FftPageTest, AveragingHoldAndLogAxisFromTheControlsDrawTwoCurvesAndAreKept)
{
    TfrmMain& w = openFftPage();
    w.cboFftAveraging->setCurrentIndex(4); // "Unendlich"
    w.btnFftHold->setChecked(true);
    w.cboFftAxis->setCurrentIndex(1); // "Logarithmisch"
    emit w.cboFftAxis->activated(1);
    EXPECT_EQ(w.txtFftFrom->text(), "20");
    EXPECT_EQ(w.fftPageSettings().averaging, engine::FftAveraging::Infinite);
    EXPECT_TRUE(w.fftPageSettings().hold);

    // The grid's decades: 1 kHz on its log column, 2 kHz between it and 5 kHz.
    const auto map = engine::fftFrequencyMap(w.fftPageSettings().view, 659);
    const int at1k = 40 + *engine::fftColumnOf(*map, 1000);
    EXPECT_EQ(gridImage().pixel(at1k, 115), kGrey);
    EXPECT_NE(gridImage().pixel(40 + *engine::fftColumnOf(*map, 1500), 115), kGrey);

    std::mt19937 gen(3);
    std::normal_distribution<double> noise(0, 3000);
    for (int b = 0; b < 20; ++b) {
        std::vector<std::int16_t> s(8192);
        for (auto& v : s)
            v = static_cast<std::int16_t>(std::lround(noise(gen)));
        feed(s);
    }
    EXPECT_EQ(w.fftAnalysis().blocks, 20);
    // The hold lies above the average wherever both are drawn.
    const QImage shown = graphArea();
    const QRgb red = display::toQColor(display::kFftHoldColour).rgb();
    for (int x : {100, 300, 500}) {
        const auto hold = topmost(shown, QRect(x, 0, 1, 387), red);
        const auto average = topmost(shown, QRect(x, 0, 1, 387), kBlack);
        ASSERT_TRUE(hold && average) << x;
        EXPECT_LT(hold->y(), average->y()) << x;
    }

    // A new window reads the choices back from the store.
    window.reset();
    TfrmMain& again = create();
    EXPECT_EQ(again.cboFftAxis->currentIndex(), 1);
    EXPECT_EQ(again.cboFftAveraging->currentIndex(), 4);
    EXPECT_TRUE(again.btnFftHold->isChecked());
}

TEST_F(FftPageTest, MemoriesStoreShowRecolourCommentSaveOpenAndClearAsOnTheOctavePage)
{
    TfrmMain& w = openFftPage();
    messages.clear(); // a machine without sound cards is told so at start-up
    QString chosenFile;
    w.memoryDialogs.file = [&](const QString&, const QString&, bool) { return chosenFile; };
    w.memoryDialogs.colour = [](engine::TColor) { return engine::RGB(0, 200, 0); };
    w.memoryDialogs.comment = [](const QString&) { return std::optional<QString>("neu"); };
    w.memoryDialogs.confirm = [](const QString&) { return true; };
    auto click = [&](QToolButton* b) {
        b->setChecked(!b->isChecked());
        if (b == w.btnStore)
            w.btnStoreClick();
        else
            w.mem1Click(b);
    };
    const auto shows = [&](engine::TColor c) {
        const QImage shown = graphArea();
        return topmost(shown, shown.rect(), display::toQRgb(c)).has_value();
    };
    memories::SlotTable& fft = gState.memory.FFTMemRecord;
    memories::SlotTable& rta = gState.memory.RTAMemRecord;
    EXPECT_TRUE(w.grpMemory->isVisibleTo(&w));
    EXPECT_EQ(w.grpMemory->title(), "Speicher FFT");

    feed(sine(1000, 32767));
    ASSERT_TRUE(w.mem0->isEnabled());
    w.txtComment->setText("Sinus");
    click(w.btnStore);
    click(w.mem[2]);
    ASSERT_TRUE(fft[2].HasData);
    EXPECT_EQ(fft[2].comment, "Sinus");
    EXPECT_EQ(fft[2].fft.length, 8192);
    EXPECT_EQ(fft[2].fft.power, fft[0].fft.power);
    EXPECT_FALSE(rta[2].HasData) << "the octave-band page keeps its own";
    EXPECT_TRUE(w.hasUnsavedMemories());

    // Shown in its colour; recoloured and commented at once.
    click(w.mem[2]);
    EXPECT_TRUE(shows(fft[2].Color));
    w.mem1MouseEnter(w.mem[2]);
    w.ChangeColor1Click();
    EXPECT_EQ(fft[2].Color, engine::RGB(0, 200, 0));
    EXPECT_NE(rta[2].Color, engine::RGB(0, 200, 0));
    EXPECT_TRUE(shows(engine::RGB(0, 200, 0)));
    w.ChangestoredComment1Click();
    EXPECT_EQ(fft[2].comment, "neu");
    EXPECT_EQ(w.mem[2]->toolTip(), "neu");

    // To disk (a name without a suffix gets its own), cleared, and back into slot 5.
    const std::vector<float> powers = fft[2].fft.power;
    chosenFile = dir.filePath("sinus");
    w.SavetoDisk1Click();
    QFile saved(dir.filePath("sinus.fft.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readLine(), "Spectrion FFT spectra 1\n");
    EXPECT_FALSE(w.hasUnsavedMemories());
    w.Clear1Click();
    EXPECT_FALSE(fft[2].HasData);
    EXPECT_FALSE(shows(engine::RGB(0, 200, 0)));
    chosenFile = saved.fileName();
    w.mem1MouseEnter(w.mem[5]);
    w.OpenfromDisk1Click();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(fft[5].fft.power, powers) << "every bin exactly";
    EXPECT_EQ(fft[5].comment, "neu");
    EXPECT_EQ(fft[5].Color, engine::RGB(0, 200, 0));
    EXPECT_EQ(fft[5].basis, (engine::LevelBasis{engine::LevelReference::Dbfs, 0.0}));

    // A file of the other page is refused by name, here and there, and changes nothing.
    QFile bands(dir.filePath("terz.txt"));
    ASSERT_TRUE(bands.open(QIODevice::WriteOnly));
    bands.write("Spectrion spectra 1\nmemory: 1\ncomment: \ncolor: 0x00FFFFFF\nstored: \n"
                "window: Hann\naveraging: 1\nentries: 2\nentry, border_Hz, level_dB, row, x, y\n"
                "0, 17, nan, 0, 0, 0\n1, 21.2, 50, 0, 0, 0\nend\n");
    bands.close();
    chosenFile = bands.fileName();
    w.Openspectratomemory1Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(bands.fileName()));
    EXPECT_TRUE(messages[0].contains("Speicher der Oktavanalyse")) << messages[0].toStdString();
    EXPECT_FALSE(fft[1].HasData);
    w.pgcAnalyzers->setCurrentIndex(0);
    chosenFile = saved.fileName();
    w.Openspectratomemory1Click();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].contains("Speicher der FFT")) << messages[1].toStdString();
    for (int k = 1; k <= 8; ++k)
        EXPECT_FALSE(rta[k].HasData) << k;

    // "Alles löschen" clears the memories of the page shown.
    w.Clearall1Click();
    EXPECT_TRUE(fft[5].HasData);
    w.pgcAnalyzers->setCurrentIndex(1);
    EXPECT_TRUE(w.mem[5]->isEnabled());
    w.Clearall1Click();
    EXPECT_FALSE(fft[5].HasData);
    EXPECT_FALSE(w.mem[5]->isEnabled());
}
