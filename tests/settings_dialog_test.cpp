// The settings dialog on the offscreen platform: loading and saving the store, the defaults, the
// level-axis fields' check, the colour buttons, the window type and an unwritable store.

#include "file_size_limit.h"
#include "settings_dialog_support.h"

#include "settings/colour_table.h"
#include "settings/settings_dialog.h"

#include "display/shape.h"
#include "dsp/window_table.h"

#include <QDir>
#include <QTimer>

#include <optional>
#include <vector>

#include <sys/stat.h>

using settings::ColourSet;
using settings::kLightColours;
using settings::kStandardColours;
using settings_test::DialogTest;
using settings_test::kKey;

namespace {

// Every entry unlike both presets.
ColourSet customColours()
{
    ColourSet set{};
    for (int n = 1; n <= 16; ++n)
        set[std::size_t(n)] =
            engine::RGB(std::uint8_t(n), std::uint8_t(2 * n), std::uint8_t(3 * n));
    return set;
}

std::vector<double> windowTable(int item)
{
    std::vector<double> table(engine::kBlockSamples, -1.0);
    dsp::BuildWindowTable(item, table);
    return table;
}

using SettingsDialog = DialogTest;

TEST_F(SettingsDialog, FirstStartShowsTheDefaultsAndWritesNothing)
{
    colours.GraphColors = customColours();
    window.fill(-1.0);
    const auto dialog = create();

    EXPECT_EQ(colours.GraphColors, kStandardColours);
    // Black background, bright green axes, green grid, white axis texts.
    EXPECT_EQ(colours.GraphColors[11], 0x000000u);
    EXPECT_EQ(colours.GraphColors[12], 0x00FF00u);
    EXPECT_EQ(colours.GraphColors[13], 0x008000u);
    EXPECT_EQ(colours.GraphColors[14], 0xFFFFFFu);
    // A new store reads dBFS, on -100 .. 0 dB.
    EXPECT_EQ(dialog->txtYAxisMax->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog->txtYAxisMin->text(), QStringLiteral("-100"));
    EXPECT_EQ(dialog->txtYAxisStep->text(), QStringLiteral("10"));
    EXPECT_EQ(dialog->levelSettings().reference, engine::LevelReference::Dbfs);
    EXPECT_EQ(dialog->txtXAxisMax->text(), QStringLiteral("20000"));
    EXPECT_EQ(dialog->txtXAxisMin->text(), QStringLiteral("20"));
    EXPECT_EQ(dialog->cboWindowing->currentText(), QStringLiteral("Hann"));
    EXPECT_TRUE(std::equal(window.begin(), window.end(), windowTable(1).begin()));

    EXPECT_EQ(calls.inputResets, 1) << "the input must fall back to the system default";
    ASSERT_FALSE(calls.backgrounds.empty());
    EXPECT_EQ(calls.backgrounds.back(), 0x000000u);
    EXPECT_EQ(child<display::Shape>(*dialog, "ColourSample")->brushColor(), 0x0000FFu);
    EXPECT_EQ(child<QComboBox>(*dialog, "lstColors")->currentText(),
              QStringLiteral("Series 1 Color"));
    EXPECT_TRUE(calls.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(file())) << "creating the dialog must not write the store";
    EXPECT_TRUE(dialog->isHidden());
}

TEST_F(SettingsDialog, PresetSetsHoldTheirColourValues)
{
    const std::array<engine::TColor, 17> standard = {
        0,        0x0000FF, 0xFFFF00, 0x00FF00, 0xFF0000, 0xFF00FF, 0xFFFFFF, 0xFF8080, 0x808000,
        0xFF0000, 0x000080, 0x000000, 0x00FF00, 0x008000, 0xFFFFFF, 0x000000, 0xFFFFFF};
    const std::array<engine::TColor, 17> light = {
        0,          0x0000FF, 0x008000, 0x000080,   0xFF0000,  0xFFFF00,
        0x808080,   0xFF00FF, 0x808000, 0x800000,   0x000080,  0xFF00000F,
        0xFF000008, 0x808080, 0x000000, 0xFF00000F, 0xFF000008};
    for (int n = 1; n <= 16; ++n) {
        SCOPED_TRACE(settings::kColourListTexts[std::size_t(n)]);
        EXPECT_EQ(kStandardColours[std::size_t(n)], standard[std::size_t(n)]);
        EXPECT_EQ(kLightColours[std::size_t(n)], light[std::size_t(n)]);
    }
}

TEST_F(SettingsDialog, CloseWritesAllValuesAndTheNextStartAppliesNoDefault)
{
    auto dialog = create();
    dialog->txtYAxisMax->setText(QStringLiteral("90"));
    dialog->txtYAxisMin->setText(QStringLiteral("-10"));
    dialog->txtYAxisStep->setText(QStringLiteral("5"));
    child<QPushButton>(*dialog, "btnLightCol")->click();
    bool storedBeforeRepaint = true;
    onRepaint = [&] { storedBeforeRepaint = QFile::exists(file()); };
    dialog->show();
    child<QPushButton>(*dialog, "btnClose")->click();

    EXPECT_EQ(calls.repaints, 1);
    EXPECT_FALSE(storedBeforeRepaint) << "the grid is repainted before the store is written";
    EXPECT_TRUE(dialog->isHidden());
    EXPECT_TRUE(calls.messages.isEmpty()) << calls.messages.join('\n').toStdString();
    const QJsonObject key = storedKey();
    EXPECT_EQ(key.size(), 28); // with the six calibrated-level values
    EXPECT_EQ(key["WaveDevice1"].toInteger(), -1);
    EXPECT_EQ(key["txtXAxisMin"].toString(), QStringLiteral("20"));
    EXPECT_EQ(key["txtXAxisMax"].toString(), QStringLiteral("20000"));
    EXPECT_EQ(key["txtYAxisMin"].toString(), QStringLiteral("-10"));
    EXPECT_EQ(key["txtYAxisMax"].toString(), QStringLiteral("90"));
    EXPECT_EQ(key["txtYAxisStep"].toString(), QStringLiteral("5"));
    // System colours as signed 32-bit integers: button face and window text.
    EXPECT_EQ(key["Color11"].toInteger(), -16777201);
    EXPECT_EQ(key["Color12"].toInteger(), -16777208);
    EXPECT_EQ(key["Color13"].toInteger(), 0x808080);
    EXPECT_EQ(key["Color16"].toInteger(), -16777208);

    // A close writes what changed, whichever way the dialog is closed; a close that changes
    // nothing leaves the file alone (a replacement would give it a new inode).
    dialog->txtYAxisStep->setText(QStringLiteral("6"));
    dialog->show();
    dialog->reject();
    EXPECT_EQ(calls.repaints, 2);
    EXPECT_EQ(storedKey()["txtYAxisStep"].toString(), QStringLiteral("6"));
    const auto inode = [this] {
        struct stat info {};
        return ::stat(QFile::encodeName(file()).constData(), &info) == 0 ? info.st_ino : 0;
    };
    const auto before = inode();
    dialog->show();
    dialog->close();
    EXPECT_EQ(calls.repaints, 3);
    EXPECT_EQ(inode(), before);
    dialog.reset();

    settings::ColourTable next;
    const auto restarted = create(next);
    EXPECT_EQ(next.GraphColors, kLightColours);
    EXPECT_EQ(restarted->txtYAxisMax->text(), QStringLiteral("90"));
    EXPECT_EQ(restarted->txtYAxisMin->text(), QStringLiteral("-10"));
    EXPECT_EQ(restarted->txtYAxisStep->text(), QStringLiteral("6"));
    EXPECT_EQ(calls.inputResets, 0) << "a complete store applies none of the defaults";
    ASSERT_FALSE(calls.backgrounds.empty());
    EXPECT_EQ(calls.backgrounds.back(), engine::clBtnFace);
    EXPECT_EQ(restarted->cboWindowing->currentText(), QStringLiteral("Hann"));
}

TEST_F(SettingsDialog, AnIncompleteStoreFallsBackToTheDefaults)
{
    struct Case {
        const char* what;
        std::function<void(QJsonObject&)> spoil;
        bool fieldsLoaded; // the fields come before the colours in the read
    };
    const Case cases[] = {
        {"Color5 stored as a string",
         [](QJsonObject& key) { key["Color5"] = QStringLiteral("16711935"); }, true},
        {"Color16 missing", [](QJsonObject& key) { key.remove("Color16"); }, true},
        {"WaveDevice1 stored as a string", [](QJsonObject& key) { key["WaveDevice1"] = "-1"; },
         false},
        {"WaveDevice1 missing", [](QJsonObject& key) { key.remove("WaveDevice1"); }, false},
        {"txtYAxisStep missing", [](QJsonObject& key) { key.remove("txtYAxisStep"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QJsonObject key = completeValues(customColours());
        c.spoil(key);
        writeKey(key);
        const QByteArray before = fileBytes();
        settings::ColourTable table;
        table.GraphColors = customColours();
        const auto dialog = create(table);
        EXPECT_EQ(table.GraphColors, kStandardColours) << "colours read before the error too";
        EXPECT_EQ(calls.inputResets, 1);
        EXPECT_EQ(dialog->txtYAxisMax->text(), c.fieldsLoaded ? "90" : "0");
        EXPECT_EQ(dialog->txtXAxisMax->text(), c.fieldsLoaded ? "16000" : "20000");
        EXPECT_EQ(dialog->txtYAxisStep->text(),
                  c.fieldsLoaded && key.contains("txtYAxisStep") ? "5" : "10");
        EXPECT_EQ(fileBytes(), before);
    }
}

TEST_F(SettingsDialog, LeavingALevelFieldRestoresTheStoredTextUnlessItIsAnInteger)
{
    struct Case {
        const char* field;
        const char* stored; // nullptr: no store at all
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {"txtYAxisMax", "80", "abc", "80"},
        {"txtYAxisMax", "80", "12.5", "80"},
        {"txtYAxisMax", "80", "", "80"},
        {"txtYAxisMax", "80", "70 ", "80"},        // trailing blank
        {"txtYAxisMax", "80", "2147483648", "80"}, // beyond 32 bits
        {"txtYAxisMax", "80", "$7F", "$7F"},
        {"txtYAxisMin", "-30", "  -7", "  -7"},
        {"txtYAxisMin", "-30", "-$1F", "-$1F"},
        {"txtYAxisMin", "-30", "1e2", "-30"},
        // Nothing stored yet: the start text, never an empty field.
        {"txtYAxisMax", nullptr, "12.5", "0"},
        {"txtYAxisMin", nullptr, "x", "-100"},
        {"txtYAxisStep", nullptr, "x", "10"},
        // A stored text the check would refuse is not put back either.
        {"txtYAxisMax", "loud", "x", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " typed \"" + c.typed + "\"");
        QFile::remove(file());
        if (c.stored)
            writeCompleteStore(customColours(), c.stored, c.stored, c.stored);
        // The stored scale (maximum = minimum = step) is one the view cannot draw: the fields
        // start from their start texts, and only the stored text of the field left comes back.
        const QByteArray before = fileBytes();
        const auto dialog = create();
        const int resetsAtStart = calls.inputResets;
        const ColourSet coloursAtStart = colours.GraphColors;
        auto* field = child<QLineEdit>(*dialog, c.field);
        field->setText(QLatin1String(c.typed));
        leave(*field);
        EXPECT_EQ(field->text(), QLatin1String(c.expected));
        EXPECT_EQ(calls.inputResets, resetsAtStart);
        EXPECT_EQ(colours.GraphColors, coloursAtStart);
        EXPECT_TRUE(calls.messages.isEmpty());
        EXPECT_EQ(fileBytes(), before) << "leaving a field writes nothing";
    }
}

TEST_F(SettingsDialog, RefusesAScaleTheViewCannotDrawSayingWhy)
{
    using settings::TextId;
    struct Case {
        const char* field;
        const char* typed;
        const char* expected; // the field's text afterwards
        std::optional<TextId> message;
    };
    const Case cases[] = {
        {"txtYAxisMin", "0", "-100", TextId::LevelRangeInverted},
        {"txtYAxisMin", "150", "-100", TextId::LevelRangeInverted},
        {"txtYAxisMax", "-120", "0", TextId::LevelRangeInverted},
        {"txtYAxisStep", "0", "10", TextId::LevelStepNotPositive},
        {"txtYAxisStep", "-5", "10", TextId::LevelStepNotPositive},
        {"txtYAxisStep", "$FFFFFFFF", "10", TextId::LevelStepNotPositive},
        {"txtYAxisMax", "2147483647", "0", TextId::LevelStepTooFine},
        {"txtYAxisStep", "$7FFFFFFF", "$7FFFFFFF", std::nullopt}, // one line
        {"txtYAxisMin", "-20", "-20", std::nullopt},
        {"txtXAxisMin", "0.5", "20", TextId::FrequencyOutOfRange},
        {"txtXAxisMax", "30000", "20000", TextId::FrequencyOutOfRange},
        {"txtXAxisMin", "20000", "20", TextId::FrequencyNotAscending},
        {"txtXAxisMax", "24000", "24000", std::nullopt},
        {"txtXAxisMin", "1", "1", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " typed \"" + c.typed + "\"");
        const auto dialog = create();
        auto* field = child<QLineEdit>(*dialog, c.field);
        field->setText(QLatin1String(c.typed));
        leave(*field);
        EXPECT_EQ(field->text(), QLatin1String(c.expected));
        QCoreApplication::processEvents();
        if (c.message)
            EXPECT_EQ(calls.messages, QStringList{settings::layoutText(*c.message)});
        else
            EXPECT_TRUE(calls.messages.isEmpty()) << calls.messages.join('|').toStdString();
        EXPECT_FALSE(QFile::exists(file())) << "leaving a field writes nothing";
    }

    // A refused text is refused against what the user set before, not the start texts.
    const auto dialog = create();
    dialog->txtYAxisMax->setText(QStringLiteral("60"));
    leave(*dialog->txtYAxisMax);
    dialog->txtYAxisMin->setText(QStringLiteral("70"));
    leave(*dialog->txtYAxisMin);
    EXPECT_EQ(dialog->txtYAxisMin->text(), QStringLiteral("-100"));
    EXPECT_EQ(dialog->txtYAxisMax->text(), QStringLiteral("60"));

    // A stored scale that cannot be drawn starts from the start texts of its axis.
    writeCompleteStore(customColours(), QStringLiteral("30"), QStringLiteral("90"));
    const auto restarted = create();
    EXPECT_EQ(restarted->txtYAxisMax->text(), QStringLiteral("0"));
    EXPECT_EQ(restarted->txtYAxisMin->text(), QStringLiteral("-100"));
    EXPECT_EQ(restarted->txtXAxisMax->text(), QStringLiteral("16000"));
    EXPECT_EQ(colours.GraphColors, customColours());
}

TEST_F(SettingsDialog, AFieldStoredWithTheWrongTypeRestoresTheDefaults)
{
    writeCompleteStore(customColours());
    const auto dialog = create();
    ASSERT_EQ(colours.GraphColors, customColours());
    settings::Registry reg(file());
    ASSERT_TRUE(reg.openKey(kKey, false));
    reg.writeInteger(QStringLiteral("txtYAxisStep"), 5);
    ASSERT_TRUE(reg.closeKey());

    dialog->txtYAxisStep->setText(QStringLiteral("x"));
    leave(*dialog->txtYAxisStep);
    EXPECT_EQ(dialog->txtYAxisStep->text(), QStringLiteral("10"));
    EXPECT_EQ(colours.GraphColors, kStandardColours);
    EXPECT_EQ(calls.inputResets, 1);
    EXPECT_TRUE(calls.messages.isEmpty());
}

TEST_F(SettingsDialog, ClosingWithABadTextInTheFocusedFieldStoresTheRestoredText)
{
    writeCompleteStore(customColours(), QStringLiteral("80"));
    const auto dialog = create();
    dialog->show();
    dialog->txtYAxisMax->setFocus();
    ASSERT_EQ(dialog->focusWidget(), dialog->txtYAxisMax);
    dialog->txtYAxisMax->setText(QStringLiteral("abc"));
    dialog->close();
    EXPECT_EQ(dialog->txtYAxisMax->text(), QStringLiteral("80"));
    EXPECT_EQ(storedKey()["txtYAxisMax"].toString(), QStringLiteral("80"));
}

TEST_F(SettingsDialog, ColourButtonsFillTheTableTheSampleAndTheBackground)
{
    const auto dialog = create();
    auto* sample = child<display::Shape>(*dialog, "ColourSample");
    auto* list = child<QComboBox>(*dialog, "lstColors");

    child<QPushButton>(*dialog, "btnLightCol")->click();
    EXPECT_EQ(colours.GraphColors, kLightColours);
    EXPECT_EQ(calls.backgrounds.back(), engine::clBtnFace);
    EXPECT_EQ(sample->brushColor(), kLightColours[1]);
    list->setCurrentIndex(10);
    EXPECT_EQ(sample->brushColor(), engine::clBtnFace);
    child<QPushButton>(*dialog, "btnStandardCol")->click();
    EXPECT_EQ(colours.GraphColors, kStandardColours);
    EXPECT_EQ(calls.backgrounds.back(), 0x000000u);
    EXPECT_EQ(sample->brushColor(), 0x000000u);

    // "Ändern" on "Legend Text Color": entry 16 and the sample change, the background does not.
    std::vector<std::optional<engine::TColor>> answers = {0x123456u, std::nullopt};
    int asked = 0;
    dialog->setColourChooser([&]() { return answers[std::size_t(asked++)]; });
    list->setCurrentIndex(15);
    const std::size_t backgroundsBefore = calls.backgrounds.size();
    child<QPushButton>(*dialog, "btnChange")->click();
    EXPECT_EQ(colours.GraphColors[16], 0x123456u);
    EXPECT_EQ(sample->brushColor(), 0x123456u);
    ASSERT_GT(calls.backgrounds.size(), backgroundsBefore);
    EXPECT_EQ(calls.backgrounds.back(), 0x000000u);
    // Cancelled: nothing changes.
    child<QPushButton>(*dialog, "btnChange")->click();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(colours.GraphColors[16], 0x123456u);

    dialog->close();
    EXPECT_EQ(storedKey()["Color16"].toInteger(), 0x123456);
    EXPECT_EQ(storedKey()["Color15"].toInteger(), 0);
}

TEST_F(SettingsDialog, ChangingTheWindowTypeRebuildsTheTable)
{
    const auto dialog = create();
    for (int item : {0, 2, 3, 1}) {
        SCOPED_TRACE(item);
        window.fill(-1.0);
        dialog->cboWindowing->setCurrentIndex(item);
        EXPECT_TRUE(std::equal(window.begin(), window.end(), windowTable(item).begin()));
    }
    dialog->cboWindowing->setCurrentIndex(2);
    EXPECT_NEAR(window[8191], 0.08, 1e-12);
    EXPECT_NEAR(window[4095], 1.0, 1e-12);
}

TEST_F(SettingsDialog, TheWindowTypeIsLockedWhileACaptureRuns)
{
    const auto dialog = create();
    dialog->setCaptureRunning(true);
    EXPECT_FALSE(dialog->grpFFTSettings->isEnabled());
    EXPECT_FALSE(dialog->cboWindowing->isEnabled());
    dialog->setCaptureRunning(false);
    EXPECT_TRUE(dialog->cboWindowing->isEnabled());
}

TEST_F(SettingsDialog, AnUnwritableStoreGivesOneMessageNamingTheFileAndKeepsWhatWasStored)
{
    // A full disk under a complete store.
    writeCompleteStore(customColours());
    const QByteArray before = fileBytes();
    {
        const auto dialog = create();
        dialog->txtYAxisMax->setText(QStringLiteral("99"));
        FileSizeLimit limit(rlim_t(before.size() - 1));
        dialog->close();
        ASSERT_EQ(calls.messages.size(), 1);
        EXPECT_TRUE(calls.messages[0].contains(QDir::toNativeSeparators(file())))
            << calls.messages[0].toStdString();
    }
    EXPECT_EQ(fileBytes(), before);

    // A key path blocked by a value.
    QFile::remove(file());
    {
        settings::Registry reg(file());
        ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Drevmark"), true));
        reg.writeString(QStringLiteral("Spectrion"), QStringLiteral("not a key"));
        ASSERT_TRUE(reg.closeKey());
    }
    const QByteArray blocked = fileBytes();
    {
        const auto dialog = create();
        dialog->close();
        ASSERT_EQ(calls.messages.size(), 1);
        EXPECT_TRUE(calls.messages[0].contains(QDir::toNativeSeparators(file())));
    }
    EXPECT_EQ(fileBytes(), blocked);

    // A folder that cannot be made: its parent is a plain file.
    const QString plain = dir.filePath(QStringLiteral("plain"));
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a folder");
    }
    const QString unreachable = plain + QStringLiteral("/settings.json");
    settings::setStorePath(unreachable);
    {
        const auto dialog = create();
        dialog->close();
        ASSERT_EQ(calls.messages.size(), 1);
        EXPECT_TRUE(calls.messages[0].contains(QDir::toNativeSeparators(unreachable)));
    }
}

TEST_F(SettingsDialog, TheProgramEndingWithTheDialogOpenSavesNothing)
{
    const auto dialog = create();
    dialog->txtYAxisMax->setText(QStringLiteral("90"));
    dialog->show();
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    EXPECT_EQ(calls.repaints, 0);
    EXPECT_FALSE(QFile::exists(file()));

    // A later close by the user still saves, once the quit's own follow-up events are through.
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
    dialog->show();
    dialog->close();
    EXPECT_EQ(calls.repaints, 1);
    EXPECT_EQ(storedKey()["txtYAxisMax"].toString(), QStringLiteral("90"));
}

} // namespace

TEST_F(SettingsDialog, LevelSettingsPersistAndAnOldStoreKeepsItsRawUnit)
{
    // A store from before references: its axis limits stay, in the old unit.
    writeCompleteStore(customColours(), "90", "30", "5");
    {
        const auto dialog = create();
        EXPECT_EQ(dialog->levelSettings().reference, engine::LevelReference::Raw);
        EXPECT_EQ(dialog->txtYAxisMax->text(), QStringLiteral("90"));
        // dB SPL needs a calibration.
        EXPECT_FALSE(dialog->selectReference(engine::LevelReference::Spl));
        // To dBFS: the limits move by the raw unit's offset (161.3 dB with
        // Hann), rounded to whole dB, so the curve stays in place.
        ASSERT_TRUE(dialog->selectReference(engine::LevelReference::Dbfs));
        EXPECT_EQ(dialog->txtYAxisMax->text(), QStringLiteral("-71"));
        EXPECT_EQ(dialog->txtYAxisMin->text(), QStringLiteral("-131"));
        settings::LevelSettings s = dialog->levelSettings();
        s.calibrationOffsetDb = 120.25;
        s.calibrationDate = QStringLiteral("2026-12-08T10:00:00");
        s.weighting = engine::Weighting::A;
        s.rtaCurve = engine::RtaCurve::Leq;
        s.micCorrectionFile = QStringLiteral("/tmp/mic.txt");
        dialog->setLevelSettings(s);
        ASSERT_TRUE(dialog->selectReference(engine::LevelReference::Spl));
        EXPECT_EQ(dialog->txtYAxisMax->text(), QStringLiteral("49"));
        EXPECT_TRUE(dialog->saveSettings().isEmpty());
    }
    const auto again = create();
    const settings::LevelSettings& s = again->levelSettings();
    EXPECT_EQ(s.reference, engine::LevelReference::Spl);
    EXPECT_EQ(s.calibrationOffsetDb, 120.25);
    EXPECT_EQ(s.calibrationDate, QStringLiteral("2026-12-08T10:00:00"));
    EXPECT_EQ(s.weighting, engine::Weighting::A);
    EXPECT_EQ(s.rtaCurve, engine::RtaCurve::Leq);
    EXPECT_EQ(s.micCorrectionFile, QStringLiteral("/tmp/mic.txt"));
    EXPECT_EQ(again->txtYAxisMax->text(), QStringLiteral("49"));

    // A value of the wrong type falls back to its default alone.
    QJsonObject key = storedKey();
    key["Weighting"] = QStringLiteral("A");
    writeKey(key);
    const auto third = create();
    EXPECT_EQ(third->levelSettings().weighting, engine::Weighting::Z);
    EXPECT_EQ(third->levelSettings().calibrationOffsetDb, 120.25);
}
