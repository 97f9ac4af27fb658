// The octave-band memories in the window: store mode, the popup commands,
// "Alles löschen", the spectrum files and the export.

#include "app/frm_main.h"
#include "app/frm_maths.h"
#include "app/message_box.h"

#include "app_test_support.h"

#include "capture/virtual_devices.h"
#include "display/colour_map.h"
#include "dsp/window_table.h"
#include "memories/memory_file.h"
#include "settings/store_path.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

using app::TfrmMain;

namespace {

using apptest::sineBlock;

// The program run as a child, on the offscreen platform with settings of its own in `dir`.
void offscreenProgram(QProcess& p, const QTemporaryDir& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("SPECTRION_SETTINGS", dir.filePath("settings.json"));
    p.setProcessEnvironment(env);
}

class MemoriesTest : public apptest::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        w = &create();
        // The settings dialog builds the window table in the program.
        dsp::BuildWindowTable(1, apptest::state().measurement.Window);
        w->memoryDialogs.colour = [this](engine::TColor current) {
            colourOffered = current;
            return chosenColour;
        };
        w->memoryDialogs.confirm = [this](const QString& question) {
            questions << question;
            return confirmAnswer;
        };
        w->memoryDialogs.quit = [this] {
            ++quitQuestions;
            return quitAnswer;
        };
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
    engine::TColor colourOffered = 0;
    QStringList questions;
    bool confirmAnswer = true;
    int quitQuestions = 0;
    TfrmMain::QuitAnswer quitAnswer = TfrmMain::QuitAnswer::Discard;
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

TEST_F(MemoriesTest, ARightClickOpensThePopupOnEverySlotWithWhatMakesSenseThere)
{
    measure();
    storeInto(2, "voll");
    w->show();
    QCoreApplication::processEvents();
    // Through the window, as the mouse does it: the empty slot 5 is disabled.
    for (const int k : {2, 5}) {
        SCOPED_TRACE(k);
        ASSERT_EQ(w->mem[k]->isEnabled(), k == 2);
        const QPoint at = w->mem[k]->mapTo(w, w->mem[k]->rect().center());
        QTest::mouseMove(w->windowHandle(), at);
        QTest::mouseClick(w->windowHandle(), Qt::RightButton, {}, at);
        QCoreApplication::processEvents();
        ASSERT_TRUE(w->popMemoryButtons->isVisible());
        EXPECT_EQ(w->CurrentButton, w->mem[k]);
        QStringList offered;
        for (QAction* a : w->popMemoryButtons->actions())
            if (a->isVisible() && !a->isSeparator())
                offered << a->text().remove('&');
        if (k == 5)
            EXPECT_EQ(offered,
                      QStringList({"Store Last measurement", "Change Color", "Open from Disk"}));
        else
            EXPECT_EQ(offered.size(), 6);
        w->popMemoryButtons->hide();
    }
}

TEST_F(MemoriesTest, EachPopupCommandDoesWhatItSaysInStoreModeAndOutOfIt)
{
    measure(1000, 20);
    // A file to open: a tone at 250 Hz in slot 7, saved.
    measure(250, 40);
    storeInto(7, "Datei");
    chosenFile = dir.filePath("datei.txt");
    w->mem1MouseEnter(w->mem[7]);
    w->SavetoDisk1Click();
    const engine::BinArray fileLevels = rta()[7].levels;
    w->Clear1Click();
    measure(1000, 20);

    for (const bool storeMode : {false, true}) {
        for (const bool full : {false, true}) {
            SCOPED_TRACE(testing::Message() << "store mode " << storeMode << ", full " << full);
            w->txtComment->setText("Kommentar");
            for (const int k : {1, 2, 3, 4}) {
                if (full)
                    storeInto(k, QString("alt %1").arg(k));
                else
                    w->mem1MouseEnter(w->mem[k]), w->Clear1Click();
            }
            if (storeMode)
                click(w->btnStore);
            w->txtComment->setText("neu");
            const QString before = rta()[3].comment;

            w->mem1MouseEnter(w->mem[1]);
            w->OpenfromDisk1Click();
            EXPECT_TRUE(rta()[1].HasData);
            EXPECT_EQ(rta()[1].comment, "Datei") << "opened, not stored over";
            EXPECT_EQ(rta()[1].levels[12], fileLevels[12]) << "the 250 Hz band of the file";

            w->mem1MouseEnter(w->mem[2]);
            w->Clear1Click();
            EXPECT_FALSE(rta()[2].HasData) << "cleared, not stored into";

            w->mem1MouseEnter(w->mem[3]);
            chosenColour = engine::RGB(1, 2, 3);
            w->ChangeColor1Click();
            EXPECT_EQ(rta()[3].Color, engine::RGB(1, 2, 3));
            EXPECT_EQ(rta()[3].HasData, full) << "recoloured only";
            EXPECT_EQ(rta()[3].comment, before);

            w->mem1MouseEnter(w->mem[4]);
            w->StoreLastmeasurement1Click();
            EXPECT_TRUE(rta()[4].HasData);
            EXPECT_EQ(rta()[4].comment, "neu");
            EXPECT_EQ(rta()[4].levels[18], rta()[0].levels[18]);

            // Store mode is as it was: a left click still stores.
            EXPECT_EQ(w->btnStore->isChecked(), storeMode);
            for (int k = 1; k <= 8; ++k)
                EXPECT_EQ(w->mem[k]->isEnabled(), storeMode || rta()[k].HasData) << k;
            if (storeMode) {
                click(w->mem[6]);
                EXPECT_EQ(rta()[6].comment, "neu");
                EXPECT_FALSE(w->btnStore->isChecked());
            }
        }
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

TEST_F(MemoriesTest, ASlotKeepsItsColourAndEveryChangeIsDrawnAtOnce)
{
    // Chosen while the slot is empty, offered again, and kept by a store.
    EXPECT_EQ(rta()[5].Color, memories::kDefaultSlotColours[5]);
    chosenColour = engine::RGB(255, 0, 0);
    w->mem1MouseEnter(w->mem[5]);
    w->ChangeColor1Click();
    EXPECT_EQ(colourOffered, memories::kDefaultSlotColours[5]);
    EXPECT_EQ(w->mem[5]->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    measure(1000, 20);
    storeInto(5, "rot");
    EXPECT_EQ(rta()[5].Color, engine::RGB(255, 0, 0));
    chosenColour.reset(); // cancelled: nothing changes
    w->ChangeColor1Click();
    EXPECT_EQ(colourOffered, engine::RGB(255, 0, 0));
    EXPECT_EQ(rta()[5].Color, engine::RGB(255, 0, 0));

    // Shown during a capture: recolouring and clearing reach the graph
    // before the next block.
    w->show();
    QCoreApplication::processEvents();
    click(w->mem[5]);
    feed(sineBlock(250, 2000));
    const auto& points = rta()[5].coordinates;
    const int x = (points[0][17] + points[0][18]) / 2;
    const int y = points[1][18];
    display::Canvas& graph = w->pbxOctaveGraph->canvas();
    ASSERT_EQ(graph.Pixels(x, y), engine::RGB(255, 0, 0));
    chosenColour = engine::RGB(0, 0, 255);
    w->ChangeColor1Click();
    EXPECT_EQ(graph.Pixels(x, y), engine::RGB(0, 0, 255));
    feed(sineBlock(250, 2000));
    EXPECT_EQ(graph.Pixels(x, y), engine::RGB(0, 0, 255)) << "and stays through the capture";

    // "Alles löschen" asks first; "no" keeps everything.
    confirmAnswer = false;
    w->Clearall1->trigger();
    ASSERT_EQ(questions, QStringList{"Alle gespeicherten Messungen löschen?"});
    EXPECT_TRUE(rta()[5].HasData);
    confirmAnswer = true;
    w->Clearall1->trigger();
    EXPECT_FALSE(rta()[5].HasData);
    EXPECT_FALSE(w->mem[5]->isEnabled());
    EXPECT_TRUE(w->mem[5]->toolTip().isEmpty());
    EXPECT_EQ(rta()[5].Color, engine::RGB(0, 0, 255)) << "the colour stays the slot's";
    EXPECT_NE(graph.Pixels(x, y), engine::RGB(0, 0, 255)) << "gone at once";
    feed(sineBlock(250, 2000));
    w->AudioIn1Stop(nullptr);
    EXPECT_NE(graph.Pixels(x, y), engine::RGB(0, 0, 255)) << "and after STOP";
    // Nothing stored: nothing to ask.
    w->Clearall1->trigger();
    EXPECT_EQ(questions.size(), 2);

    // A comment changed on a stored slot.
    storeInto(2, "alt");
    w->mem1MouseEnter(w->mem[2]);
    typedComment = "neu";
    w->ChangestoredComment1Click();
    EXPECT_EQ(rta()[2].comment, "neu");
    EXPECT_EQ(w->mem[2]->toolTip(), "neu");
}

TEST_F(MemoriesTest, QuittingWithUnsavedMemoriesAsksSaveDiscardOrCancel)
{
    // Nothing stored, or all saved: no question.
    w->show();
    EXPECT_TRUE(w->mayClose());
    measure();
    storeInto(1, "eins");
    chosenFile = dir.filePath("sicher"); // no suffix: gets ".txt"
    w->mem1MouseEnter(w->mem[1]);
    w->SavetoDisk1Click();
    EXPECT_TRUE(QFile::exists(dir.filePath("sicher.txt")));
    EXPECT_TRUE(w->mayClose());
    EXPECT_EQ(quitQuestions, 0);

    storeInto(2, "zwei");
    quitAnswer = TfrmMain::QuitAnswer::Cancel;
    EXPECT_FALSE(w->close()) << "cancel keeps the window";
    EXPECT_EQ(quitQuestions, 1);
    EXPECT_TRUE(w->isVisible());
    quitAnswer = TfrmMain::QuitAnswer::Save;
    chosenFile.clear(); // the file dialog cancelled: not saved, not closed
    EXPECT_FALSE(w->mayClose());
    chosenFile = dir.filePath("alle");
    EXPECT_TRUE(w->mayClose());
    std::vector<memories::LoadedMemory> saved;
    ASSERT_EQ(memories::readMemoryFile(dir.filePath("alle.txt"), saved), "");
    EXPECT_EQ(saved.size(), 2u);
    EXPECT_FALSE(w->hasUnsavedMemories());
    const int asked = quitQuestions;
    EXPECT_TRUE(w->mayClose());
    EXPECT_EQ(quitQuestions, asked);

    // Recoloured since: asked again; discard closes.
    chosenColour = engine::RGB(9, 9, 9);
    w->mem1MouseEnter(w->mem[2]);
    w->ChangeColor1Click();
    quitAnswer = TfrmMain::QuitAnswer::Discard;
    EXPECT_TRUE(w->close());
    EXPECT_EQ(quitQuestions, asked + 1);
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
    w->saveAllStoredSpectra();
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
    w->saveAllStoredSpectra();
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
    EXPECT_EQ(lines[2], "17,\r") << "entry 0 bounds no band: no level";
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
    offscreenProgram(p, dir);
    p.start(SPECTRION_EXE, {"--test-signal", "sine:1000:-60", "--start", "--export",
                            dir.filePath("out.txt"), "--after-blocks", "3"});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(dir.filePath("out.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    // A new store: the levels in dBFS, said in the line after the path.
    ASSERT_EQ(lines.size(), 3 + 32 + 1 + 1);
    EXPECT_TRUE(lines[2].startsWith("Bezug: dBFS;")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3 + 32].startsWith("dropped blocks, ")) << lines[3 + 32].toStdString();
    int loudest = 4;
    for (int j = 4; j < 3 + 32; ++j)
        if (lines[j].split(',')[1].trimmed().toDouble() >
            lines[loudest].split(',')[1].trimmed().toDouble())
            loudest = j;
    EXPECT_EQ(loudest - 3, 18);
    // A -60 dBFS sine in its band.
    EXPECT_NEAR(lines[loudest].split(',')[1].trimmed().toDouble(), -60.0, 0.1);
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
    offscreenProgram(p, dir);
    // 100 blocks: 17 s of sound, the file looped.
    p.start(SPECTRION_EXE, {"--input-file", dir.filePath("rec.wav"), "--no-pacing", "--bands",
                            "1/1", "--averaging", "slow", "--start", "--after-blocks", "100",
                            "--export", dir.filePath("out.txt")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile out(dir.filePath("out.txt"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = out.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3 + 12 + 2); // the description, the octave plan, the lost blocks
    EXPECT_EQ(lines[15].trimmed(), "dropped blocks, 0"); // unpaced, nothing is lost
    int loudest = 4;
    for (int j = 4; j < 3 + 12; ++j)
        if (lines[j].split(',')[1].trimmed().toDouble() >
            lines[loudest].split(',')[1].trimmed().toDouble())
            loudest = j;
    EXPECT_EQ(lines[loudest].split(',')[0].trimmed(), "1800"); // 900 .. 1800 Hz
}

TEST_F(MemoriesTest, MathsOperationsCombineBandPowersIntoTheTarget)
{
    measure(1000, 20);
    storeInto(1, "leise");
    measure(1000, 200);
    storeInto(2, "laut");
    measure(250, 100);
    storeInto(3, "tief");
    const auto power = [&](int k, int j) { return std::pow(10.0, rta()[k].levels[j] / 10); };

    // Through the dialog, modal, as the menu opens it.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<app::TfrmMaths*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Maths Operations");
        EXPECT_TRUE(dialog->chkSource[3]->isEnabled());
        EXPECT_FALSE(dialog->chkSource[4]->isEnabled()) << "empty";
        for (int k : {1, 2, 3})
            dialog->chkSource[k]->setChecked(true);
        dialog->lstOperation->setCurrentRow(2); // "Power Average"
        dialog->optTarget[4]->setChecked(true);
        dialog->btnExecute->click();
    });
    w->Maths1->trigger();
    ASSERT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    ASSERT_TRUE(rta()[4].HasData);
    EXPECT_TRUE(w->mem[4]->isChecked()) << "the result is shown";
    EXPECT_TRUE(rta()[4].DrawMe);
    EXPECT_EQ(rta()[4].comment, "Leistungsmittel von 1 (leise), 2 (laut), 3 (tief)");
    EXPECT_EQ(rta()[4].Color, memories::kDefaultSlotColours[4]);
    for (int j : {12, 18, 25})
        EXPECT_NEAR(rta()[4].levels[j],
                    10 * std::log10((power(1, j) + power(2, j) + power(3, j)) / 3), 1e-9)
            << j;

    // Sum and difference straight through the executor; the target may be a source.
    ASSERT_EQ(w->executeMaths(0, {1, 2}, 5), "");
    EXPECT_NEAR(rta()[5].levels[18], 10 * std::log10(power(1, 18) + power(2, 18)), 1e-9);
    EXPECT_EQ(rta()[5].comment, "Leistungssumme von 1 (leise) + 2 (laut)");
    const double p2 = power(2, 18), p1 = power(1, 18);
    ASSERT_EQ(w->executeMaths(1, {2, 1}, 2), "");
    EXPECT_NEAR(rta()[2].levels[18], 10 * std::log10(p2 - p1), 1e-9);
    EXPECT_EQ(rta()[2].comment, QString::fromUtf8("Leistungsdifferenz 2 (laut) − 1 (leise)"));

    // Refused: one source for a difference, a source of another band plan;
    // nothing changes.
    EXPECT_EQ(w->executeMaths(1, {3}, 6), "Die Leistungsdifferenz braucht mindestens zwei "
                                          "Quellspeicher.");
    w->cboOctaveType->setCurrentIndex(0);
    w->cboOctaveTypeChange();
    measure(1000, 20);
    storeInto(7, "Oktave");
    EXPECT_EQ(w->executeMaths(0, {1, 7}, 6),
              "Die gewählten Speicher haben verschiedene Bandpläne und lassen sich nicht "
              "verrechnen.");
    EXPECT_FALSE(rta()[6].HasData);
    // An occupied target is overwritten only when the user agrees.
    confirmAnswer = false;
    const double before = rta()[3].levels[18];
    EXPECT_EQ(w->executeMaths(0, {1, 2}, 3), "");
    EXPECT_EQ(rta()[3].levels[18], before);
    EXPECT_EQ(questions.size(), 1);
}

TEST_F(MemoriesTest, TheLegendNamesTheShownCurvesInTheirColoursWhereItHidesTheLeast)
{
    measure(1000, 20);
    storeInto(1, "Wohnzimmer");
    storeInto(2, "");
    w->show();
    QCoreApplication::processEvents();
    display::Legend* legend = w->rtaLegend();
    EXPECT_TRUE(legend->isHidden()) << "nothing to tell apart";

    click(w->mem[1]);
    click(w->mem[2]);
    ASSERT_TRUE(legend->isVisible());
    const auto texts = [&] {
        QStringList t;
        for (const display::LegendEntry& e : legend->entries())
            t << e.text;
        return t;
    };
    // "L" was pressed by measure(): the last measurement is on the graph too.
    EXPECT_EQ(texts(), QStringList({"L  Aktuelle Messung", "1  Wohnzimmer", "2"}));
    EXPECT_EQ(legend->entries()[0].colour, engine::clWhite);
    EXPECT_EQ(legend->entries()[1].colour, memories::kDefaultSlotColours[1]);

    // It follows a new comment and colour at once.
    w->mem1MouseEnter(w->mem[2]);
    typedComment = "Flur";
    w->ChangestoredComment1Click();
    chosenColour = engine::RGB(255, 0, 0);
    w->ChangeColor1Click();
    EXPECT_EQ(texts().back(), "2  Flur");
    EXPECT_EQ(legend->entries().back().colour, engine::RGB(255, 0, 0));
    // Drawn over the graph, in its own colours: its glyphs are on screen.
    const QImage shot = w->grab().toImage();
    const QRect box(legend->mapTo(w, QPoint(0, 0)), legend->size());
    int red = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            red += qRed(shot.pixel(x, y)) > 150 && qGreen(shot.pixel(x, y)) < 100;
    EXPECT_GT(red, 10);
    // The 1 kHz tone peaks in the middle of the graph, far from its top corners.
    const QPoint atGraph = legend->pos() - w->pbxOctaveGraph->pos();
    EXPECT_LT(atGraph.y(), w->pbxOctaveGraph->height() / 2);

    click(w->mem[1]);
    click(w->mem[2]);
    EXPECT_TRUE(legend->isHidden());
}

TEST_F(MemoriesTest, OnTheLightColourSetTheLiveCurveIsDarkAndStoredOnesKeepTheirColours)
{
    apptest::gState.colours.GraphColors = settings::kLightColours;
    w->show();
    QCoreApplication::processEvents();
    measure(1000, 20);
    feed(sineBlock(1000, 20));
    const auto& x = apptest::gState.measurement.NewPoints[0];
    const auto& y = apptest::gState.measurement.NewPoints[1];
    const int px = (x[17] + x[18]) / 2;
    EXPECT_EQ(w->pbxOctaveGraph->canvas().Pixels(px, y[18]), engine::clBlack) << "live";
    // The last measurement, drawn from its levels after the capture, too;
    // a stored curve keeps its own colour.
    storeInto(3, "");
    click(w->mem[3]);
    ASSERT_TRUE(w->mem0->isChecked());
    EXPECT_EQ(w->pbxOctaveGraph->canvas().Pixels(px, y[18]), memories::kDefaultSlotColours[3]);
    click(w->mem[3]);
    EXPECT_EQ(w->pbxOctaveGraph->canvas().Pixels(px, y[18]), engine::clBlack);
    EXPECT_EQ(w->liveCurveColour(), engine::clBlack);
    apptest::gState.colours.GraphColors = settings::kStandardColours;
    EXPECT_EQ(w->liveCurveColour(), engine::clWhite);
}

TEST(Program, LoadsMemoriesAtStartAndExportsThemAsCsv)
{
    // A memories file as the program saves it, with two slots.
    QTemporaryDir dir;
    static memories::SlotTables tables;
    memories::initSlotTables(tables);
    memories::SlotTable& table = tables.RTAMemRecord;
    for (int k : {2, 5}) {
        table[k].bands = 32;
        for (int j = 0; j < 32; ++j) {
            table[k].f[j] = 17.0 * std::pow(2.0, j / 3.0);
            table[k].levels[j] = j == 0 ? std::nan("") : 40.0 + k + j;
        }
        table[k].comment = k == 2 ? "Küche" : "Bad, \"oben\"";
        table[k].droppedBlocks = k == 2 ? 3 : 0;
        table[k].HasData = true;
    }
    const int kept[] = {2, 5};
    ASSERT_EQ(
        memories::writeMemoryFile(dir.filePath("m.txt"), memories::MemoryKind::Rta, table, kept),
        "");

    QProcess p;
    offscreenProgram(p, dir);
    p.start(SPECTRION_EXE, {"--load-memories", dir.filePath("m.txt"), "--export-csv",
                            dir.filePath("out"), "--screenshot", dir.filePath("shot.png")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(dir.filePath("out.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray csv = f.readAll();
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QByteArray> lines = csv.mid(3).split('\n');
    const int title = static_cast<int>(lines.indexOf("\r")) + 1;
    ASSERT_GT(title, 3);
    EXPECT_TRUE(lines.contains("\"Verlorene Blöcke\",\"3\"\r")) << "the first curve's gaps";
    EXPECT_EQ(lines[title], "\"Mitte [Hz]\",\"Untere Grenze [Hz]\",\"Obere Grenze [Hz]\","
                            "\"Küche\",\"Bad, \"\"oben\"\"\"\r");
    const QList<QByteArray> band3 = lines[title + 3].chopped(1).split(',');
    ASSERT_EQ(band3.size(), 5);
    EXPECT_EQ(band3[3], "45");
    EXPECT_EQ(band3[4], "48");

    // A file that is not ours ends the start with a reason.
    QFile bad(dir.filePath("bad.txt"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("nichts\n");
    bad.close();
    p.start(SPECTRION_EXE,
            {"--load-memories", bad.fileName(), "--screenshot", dir.filePath("none.png")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("bad.txt"));
}

TEST(Program, LoadsFftMemoriesAtStartForAPictureOfTheFftPage)
{
    // An FFT memory as the program saves it: a 1 kHz line over a floor, in slot 4.
    QTemporaryDir dir;
    static memories::SlotTables tables;
    memories::initSlotTables(tables);
    memories::SpectrumRec& rec = tables.FFTMemRecord[4];
    rec.HasData = true;
    rec.Color = engine::RGB(0, 0, 255);
    rec.comment = "Linie";
    rec.fft = {16384, 48000, std::vector<float>(8192, 1e3f)};
    rec.fft.power[341] = 1e8f; // 999.0 Hz
    const int kept[] = {4};
    const QString path = dir.filePath("linie");
    ASSERT_EQ(memories::writeMemoryFile(memories::memoryFileName(path, memories::MemoryKind::Fft),
                                        memories::MemoryKind::Fft, tables.FFTMemRecord, kept),
              "");

    QProcess p;
    offscreenProgram(p, dir);
    p.start(SPECTRION_EXE, {"--page", "fft", "--load-memories", path + ".fft.txt", "--screenshot",
                            dir.filePath("shot.png")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // The line rises 50 dB (150 rows) out of the floor in the memory's colour,
    // left on the linear axis where 1 kHz lies (the legend is elsewhere).
    const QImage shot(dir.filePath("shot.png"));
    ASSERT_FALSE(shot.isNull());
    std::map<int, int> perRow;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width() / 4; ++x)
            if (shot.pixel(x, y) == qRgb(0, 0, 255))
                ++perRow[y];
    ASSERT_FALSE(perRow.empty());
    const int floorRow = std::max_element(perRow.begin(), perRow.end(), [](auto a, auto b) {
                             return a.second < b.second;
                         })->first;
    EXPECT_NEAR(floorRow - perRow.begin()->first, 150, 2);
}
