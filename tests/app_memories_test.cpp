// The octave-band memories in the window: store mode, the popup commands,
// "Alles löschen", the spectrum files and the export.

#include "app/frm_main.h"
#include "app/message_box.h"

#include "app_test_support.h"

#include "capture/virtual_devices.h"
#include "display/colour_map.h"
#include "dsp/window_table.h"
#include "settings/store_path.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

using app::TfrmMain;

namespace {

using apptest::sineBlock;

class MemoriesTest : public apptest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        w = &create();
        // The settings dialog builds the window table in the program.
        dsp::BuildWindowTable(1, apptest::state().measurement.Window);
        w->memoryDialogs.colour = [this] { return chosenColour; };
        w->memoryDialogs.file = [this](const QString&, const QString&, bool) { return chosenFile; };
        w->memoryDialogs.comment = [this](const QString&) { return typedComment; };
        messages.clear();
    }

    // One block of a tone measured, then the capture stopped: "L" holds it.
    void measure(double hz = 1000, double peak = 20)
    {
        // START sets the page up afresh first (the band plan from the
        // preferred frequencies, which start-up builds after the first plan).
        w->pgcAnalyzersChange();
        feed(sineBlock(hz, peak));
        // As START does: "L" pressed and the last measurement marked.
        w->mem0->setChecked(true);
        w->mem1Click(w->mem0);
        rta()[0].HasData = true;
        w->AudioIn1Stop(nullptr);
    }

    // A click as the toolkit delivers it: the toggle first, then the handler.
    void click(QToolButton* b)
    {
        b->setChecked(!b->isChecked());
        if (b == w->btnStore)
            w->btnStoreClick();
        else
            w->mem1Click(b);
    }

    void storeInto(int k, const QString& comment)
    {
        w->txtComment->setText(comment);
        click(w->btnStore);
        click(w->mem[k]);
    }

    memories::SlotTable& rta() { return apptest::state().memory.RTAMemRecord; }

    TfrmMain* w = nullptr;
    std::optional<engine::TColor> chosenColour;
    QString chosenFile;
    std::optional<QString> typedComment;
};

} // namespace

TEST_F(MemoriesTest, StoreModeThroughASlotAndThroughL)
{
    measure();
    EXPECT_TRUE(w->mem0->isEnabled());
    storeInto(3, "vorne links");
    EXPECT_TRUE(rta()[3].HasData);
    EXPECT_EQ(rta()[3].comment, "vorne links");
    EXPECT_EQ(w->mem[3]->toolTip(), "vorne links");
    EXPECT_FALSE(w->mem[3]->isChecked()) << "stored, not shown";
    EXPECT_FALSE(w->btnStore->isChecked());
    EXPECT_TRUE(rta()[3].stored.isValid());
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(w->mem[k]->isEnabled(), k == 3) << k;
    EXPECT_EQ(rta()[3].bands, 32);
    EXPECT_EQ(rta()[3].levels[18], rta()[0].levels[18]);

    // Through "L": the last measurement onto itself, with the comment, released.
    ASSERT_TRUE(w->mem0->isChecked());
    storeInto(0, "Referenz");
    EXPECT_EQ(rta()[0].comment, "Referenz");
    EXPECT_EQ(w->mem0->toolTip(), "Referenz");
    EXPECT_FALSE(w->mem0->isChecked());
    EXPECT_FALSE(rta()[0].DrawMe);

    // Store mode needs a last measurement; without one the button just pops up.
    rta()[0].HasData = false;
    w->mem0->setEnabled(false);
    click(w->btnStore);
    EXPECT_FALSE(w->btnStore->isChecked());
    EXPECT_FALSE(w->mem[5]->isEnabled());
}

TEST_F(MemoriesTest, StoringOverAShownSlotReleasesItAndAnEmptyCommentClearsTheHint)
{
    measure();
    storeInto(2, "erste");
    click(w->mem[2]); // shown
    ASSERT_TRUE(rta()[2].DrawMe);
    storeInto(2, "");
    EXPECT_FALSE(w->mem[2]->isChecked());
    EXPECT_FALSE(rta()[2].DrawMe);
    EXPECT_TRUE(w->mem[2]->toolTip().isEmpty());
    EXPECT_TRUE(rta()[2].comment.isEmpty());
}

TEST_F(MemoriesTest, AStoredSlotKeepsItsPlanAfterAResolutionChange)
{
    measure();
    storeInto(4, "Terz");
    const engine::BinArray borders = rta()[4].f;
    w->cboOctaveType->setCurrentIndex(0);
    w->cboOctaveTypeChange();
    EXPECT_EQ(rta()[0].bands, 12);
    EXPECT_EQ(rta()[4].bands, 32);
    EXPECT_EQ(rta()[4].f, borders);
    // The live slot's levels wait for a block measured with the new borders.
    EXPECT_TRUE(std::isnan(rta()[0].levels[5]));
}

TEST_F(MemoriesTest, ColourCommentAndClearAllFollowTheOldRules)
{
    // "Change Color" on an empty slot recolours the slot and its caption.
    chosenColour = engine::RGB(255, 0, 0);
    w->mem1MouseEnter(w->mem[5]);
    w->ChangeColor1Click();
    EXPECT_EQ(rta()[5].Color, engine::RGB(255, 0, 0));
    EXPECT_EQ(w->mem[5]->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    chosenColour.reset(); // cancelled: nothing changes
    w->ChangeColor1Click();
    EXPECT_EQ(rta()[5].Color, engine::RGB(255, 0, 0));

    measure();
    storeInto(2, "alt");
    w->mem1MouseEnter(w->mem[2]);
    typedComment = "neu";
    w->ChangestoredComment1Click();
    EXPECT_EQ(rta()[2].comment, "neu");
    EXPECT_EQ(w->mem[2]->toolTip(), "neu");

    // "Alles löschen" leaves the Down state and the colours alone.
    click(w->mem[2]);
    ASSERT_TRUE(w->mem[2]->isChecked());
    w->Clearall1->trigger();
    EXPECT_FALSE(w->mem[2]->isEnabled());
    EXPECT_TRUE(w->mem[2]->isChecked());
    EXPECT_FALSE(rta()[2].HasData);
    EXPECT_TRUE(rta()[2].comment.isEmpty());
    EXPECT_TRUE(w->mem[2]->toolTip().isEmpty());
    EXPECT_EQ(rta()[5].Color, engine::RGB(255, 0, 0));
    EXPECT_TRUE(rta()[0].HasData);
}

TEST_F(MemoriesTest, SpectrumFilesBringBackLevelsCommentsAndColours)
{
    measure(1000, 20);
    storeInto(1, "Küche");
    measure(250, 40);
    storeInto(4, "Flur, hinten");
    rta()[4].Color = 0x0000FF00u;
    const memories::SpectrumRec kitchen = rta()[1];
    const memories::SpectrumRec hall = rta()[4];

    // One slot to disk and back into another slot.
    chosenFile = dir.filePath("flur.txt");
    w->mem1MouseEnter(w->mem[4]);
    w->SavetoDisk1Click();
    w->mem1MouseEnter(w->mem[6]);
    w->OpenfromDisk1Click();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_TRUE(rta()[6].HasData);
    EXPECT_EQ(rta()[6].comment, hall.comment);
    EXPECT_EQ(rta()[6].Color, hall.Color);
    ASSERT_EQ(rta()[6].bands, hall.bands);
    for (int j = 0; j < hall.bands; ++j) {
        EXPECT_EQ(rta()[6].coordinates[0][j], hall.coordinates[0][j]) << j;
        EXPECT_EQ(rta()[6].coordinates[1][j], hall.coordinates[1][j]) << j;
        if (j > 0) {
            EXPECT_EQ(rta()[6].levels[j], hall.levels[j]) << j;
        }
    }
    EXPECT_TRUE(w->mem[6]->isEnabled());
    EXPECT_EQ(w->mem[6]->toolTip(), hall.comment);

    // All slots in one file, then into the same slots again.
    chosenFile = dir.filePath("alle.txt");
    w->Saveallstoredspectra1Click();
    w->Clearall1Click();
    w->Openspectratomemory1Click();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(rta()[1].comment, kitchen.comment);
    for (int j = 1; j < kitchen.bands; ++j)
        EXPECT_EQ(rta()[1].levels[j], kitchen.levels[j]) << j;
    EXPECT_EQ(rta()[4].Color, hall.Color);
    EXPECT_EQ(rta()[4].f, hall.f);
    for (int k : {1, 4, 6})
        EXPECT_TRUE(w->mem[k]->isEnabled()) << k;

    // A foreign file is refused by name and changes nothing.
    QFile foreign(dir.filePath("notes.txt"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("Spectrion spectra 1\nmemory: 2\ncomment: x\n");
    foreign.close();
    chosenFile = foreign.fileName();
    w->Openspectratomemory1Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains(foreign.fileName()));
    EXPECT_FALSE(rta()[2].HasData);
    EXPECT_EQ(rta()[1].comment, kitchen.comment);

    // Nothing stored: nothing to save, and the user is told so.
    messages.clear();
    w->Clearall1Click();
    w->Saveallstoredspectra1Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.front(), "Es sind keine Spektren gespeichert.");
}

TEST_F(MemoriesTest, ExportCarriesBordersAndLevelsOfTheLastBlock)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const double peak = 20;
    measure(1000, peak);
    const QString chosen = dir.filePath("terz");
    ASSERT_EQ(w->exportLastSpectrum(chosen), "");
    QFile f(chosen + ".txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2 + 32 + 1 + 1);
    EXPECT_EQ(lines[2 + 32], "dropped blocks, 0\r");
    EXPECT_EQ(lines[1], QDir(dir.path()).absoluteFilePath("terz.txt").toUtf8() + "\r");
    EXPECT_EQ(lines[2], "17, nan\r");
    // Band 18 ends at 1060 Hz and holds the tone at its Parseval level.
    const QList<QByteArray> band18 = lines[2 + 18].trimmed().split(',');
    ASSERT_EQ(band18.size(), 2);
    EXPECT_EQ(band18[0], "1060");
    const double want = 20 * std::log10(8192 * peak * std::sqrt(3.0 / 16));
    EXPECT_NEAR(band18[1].trimmed().toDouble(), want, 0.1);
    QLocale::setDefault(QLocale::c());

    // A target that cannot be written: a message naming it, nothing left behind.
    ASSERT_TRUE(QDir().mkdir(dir.filePath("taken.txt")));
    chosenFile = dir.filePath("taken.txt");
    w->SaveSpectrum1Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains("taken.txt"));
}

TEST(Program, ExportsTheLastSpectrumAfterTheRequestedBlocks)
{
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SPECTRION_SETTINGS", dir.filePath("settings.json"));
    p.setProcessEnvironment(env);
    p.start(SPECTRION_EXE, {"--test-signal", "sine:1000:-60", "--start", "--export",
                            dir.filePath("out.txt"), "--after-blocks", "3"});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(dir.filePath("out.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2 + 32 + 1 + 1);
    EXPECT_TRUE(lines[2 + 32].startsWith("dropped blocks, ")) << lines[2 + 32].toStdString();
    int loudest = 3;
    for (int j = 3; j < 2 + 32; ++j)
        if (lines[j].split(',')[1].trimmed().toDouble() >
            lines[loudest].split(',')[1].trimmed().toDouble())
            loudest = j;
    EXPECT_EQ(loudest - 2, 18);
}

TEST_F(MemoriesTest, AShownMemoryStaysBesideTheLiveCurveWhileBlocksArrive)
{
    measure(1000, 20);
    storeInto(3, "Referenz");
    chosenColour = engine::RGB(255, 0, 0);
    w->mem1MouseEnter(w->mem[3]);
    w->ChangeColor1Click();
    w->show();
    QCoreApplication::processEvents();
    click(w->mem[3]); // shown: the grid is painted with it

    // A louder tone moves the live curve; the memory's step must still be there.
    feed(sineBlock(250, 2000));
    const auto& points = rta()[3].coordinates;
    display::Canvas& graph = w->pbxOctaveGraph->canvas();
    // The step of the stored tone's band, well inside the graph.
    const int x = (points[0][17] + points[0][18]) / 2;
    const int y = points[1][18];
    ASSERT_GT(y, 0);
    ASSERT_LT(y, w->pbxOctaveGraph->height());
    EXPECT_EQ(graph.Pixels(x, y), engine::RGB(255, 0, 0));
    // Hidden again, the next block takes it away.
    click(w->mem[3]);
    feed(sineBlock(250, 2000));
    EXPECT_NE(graph.Pixels(x, y), engine::RGB(255, 0, 0));
}

TEST(Program, AnalysesARecordingUnpacedWithTheBandsAndAveragingGiven)
{
    // Two seconds of a 1 kHz tone at -20 dBFS as a 16-bit mono WAV file.
    QTemporaryDir dir;
    const int frames = 96000;
    QByteArray wav;
    auto put = [&wav](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wav.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    wav.append("RIFF");
    put(36 + 2 * frames, 4);
    wav.append("WAVEfmt ");
    put(16, 4), put(1, 2), put(1, 2), put(48000, 4), put(96000, 4), put(2, 2), put(16, 2);
    wav.append("data");
    put(2 * frames, 4);
    for (int i = 0; i < frames; ++i)
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(
                std::lround(3277 * std::sin(2 * std::numbers::pi * 1000.0 * i / 48000)))),
            2);
    QFile file(dir.filePath("rec.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(wav);
    file.close();

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SPECTRION_SETTINGS", dir.filePath("settings.json"));
    p.setProcessEnvironment(env);
    // 100 blocks: 17 s of sound, the file looped.
    p.start(SPECTRION_EXE, {"--input-file", dir.filePath("rec.wav"), "--no-pacing", "--bands",
                            "1/1", "--averaging", "slow", "--start", "--after-blocks", "100",
                            "--export", dir.filePath("out.txt")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile out(dir.filePath("out.txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = out.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2 + 12 + 2); // the octave plan, the lost blocks, the last CR LF
    EXPECT_EQ(lines[14].trimmed(), "dropped blocks, 0"); // unpaced, nothing is lost
    int loudest = 3;
    for (int j = 3; j < 2 + 12; ++j)
        if (lines[j].split(',')[1].trimmed().toDouble() >
            lines[loudest].split(',')[1].trimmed().toDouble())
            loudest = j;
    EXPECT_EQ(lines[loudest].split(',')[0].trimmed(), "1800"); // 900 .. 1800 Hz
}
