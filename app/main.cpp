// Start-up: the command line, the virtual inputs, the main window, then the
// message loop.

#include "app_state.h"
#include "calibrated_levels.h"
#include "command_line.h"
#include "first_paint_report.h"
#include "frm_generator.h"
#include "frm_main.h"
#include "message_box.h"
#include "string_table.h"
#include "unattended.h"

#include "capture/device_list.h"
#include "capture/virtual_devices.h"
#include "capture/wavein.h"
#include "settings/settings_dialog.h"
#include "settings/store_path.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QTimer>

#include <cstdio>

namespace {

// About 6 MB of fixed arrays: static, never on the stack.
app::AppState gState;

int usageError(const QString& error)
{
    std::fprintf(stderr, "spectrion: %s\n%s", qPrintable(error), qPrintable(app::usageText()));
    return 2;
}

// Registers the command line's inputs; returns an error text for a bad one.
QString registerInputs(const app::Options& o)
{
    for (const QString& path : o.inputFiles)
        if (const QString e = capture::registerInputFile(path, o.channel, o.pacing); !e.isEmpty())
            return QString("--input-file %1: %2").arg(path, e);
    for (const QString& signal : o.testSignals)
        if (const QString e = capture::registerTestSignal(signal); !e.isEmpty())
            return QString("--test-signal %1: %2").arg(signal, e);
    return {};
}

// What the settings dialog asks of the rest of the program.
settings::TfrmSettings::Hooks settingsHooks(app::TfrmMain& w)
{
    settings::TfrmSettings::Hooks hooks;
    hooks.text = [](int number) { return app::LoadStr(number); };
    hooks.repaintRtaGrid = [&w] { w.pbxOctGrid->Repaint(); };
    hooks.resetInputDevice = [&w] { w.AudioIn1->SetWaveDevice(capture::WAVE_MAPPER); };
    hooks.setGraphBackground = [&w](engine::TColor c) { w.shpGraphBackground->setBrushColor(c); };
    hooks.showMessage = [&w](const QString& text) { app::ShowMessage(&w, text); };
    return hooks;
}

// The command line's calibrated-level settings, used and kept; a status to
// exit with when one cannot be used (the reason on standard error), else 0.
int applyLevelOptions(const app::Options& o, app::TfrmMain& w, settings::TfrmSettings& dialog)
{
    auto refuse = [](const QString& why) {
        std::fprintf(stderr, "spectrion: %s\n", qPrintable(why));
        return 1;
    };
    if (o.micCorrection)
        if (const QString e = w.setMicCorrectionFile(*o.micCorrection); !e.isEmpty())
            return refuse(e);
    if (o.calibrationOffset)
        w.changeLevelSettings([&o](settings::LevelSettings& s) {
            s.calibrationOffsetDb = *o.calibrationOffset;
            s.calibrationDate = QDateTime::currentDateTime().toString(Qt::ISODate);
        });
    if (o.weighting)
        w.changeLevelSettings([&o](settings::LevelSettings& s) { s.weighting = *o.weighting; });
    if (o.rtaCurve)
        w.changeLevelSettings([&o](settings::LevelSettings& s) { s.rtaCurve = *o.rtaCurve; });
    if (o.reference && *o.reference != dialog.levelSettings().reference) {
        if (!dialog.selectReference(*o.reference))
            return refuse("--reference spl needs a calibration (--calibrate or "
                          "--calibration-offset).");
        if (const QString e = dialog.saveSettings(); !e.isEmpty())
            return refuse(e);
    }
    return 0;
}

// --calibrate: measures on the chosen input, prints the result and quits,
// with status 1 for a refused tone or when no block arrives.
void calibrateUnattended(const app::Options& o, app::TfrmMain& w)
{
    const double db = *o.calibrate, hz = o.calibrateFrequency;
    w.startCalibration(db, hz, [db, hz](const engine::CalibrationResult& r) {
        const QString text = app::calibrationResultText(r, db, hz);
        const bool done = r.status == engine::CalibrationResult::Status::Done;
        std::fprintf(done ? stdout : stderr, "%s\n", qPrintable(text));
        // After the handler: the block that finished it is still being dealt with.
        QTimer::singleShot(0, [done] { QCoreApplication::exit(done ? 0 : 1); });
    });
    QTimer::singleShot(30000, [] {
        std::fprintf(stderr, "%s\n", qPrintable(app::LoadStr(app::sCalNoInput)));
        QCoreApplication::exit(1);
    });
}

} // namespace

int main(int argc, char** argv)
{
    // The options first: --help and --version need no display, and a bad option is told
    // before a window system is asked for anything.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const app::ParseResult parsed = app::parseCommandLine(arguments);
    if (parsed.helpRequested || parsed.versionRequested) {
        std::printf("%s", qPrintable(parsed.helpRequested ? app::usageText() : app::versionText()));
        return 0;
    }
    if (!parsed.options)
        return usageError(parsed.error);
    const app::Options& options = *parsed.options;

    QApplication application(argc, argv);
    application.setApplicationName(app::LoadStr(app::sProduct));
    application.setOrganizationName(app::LoadStr(app::sMaker));
    if (const QString e = registerInputs(options); !e.isEmpty())
        return usageError(e);
    if (!options.settings.isEmpty())
        settings::setStorePath(options.settings);
    capture::DeviceList::instance().scanAhead();

    if (app::UnattendedRun::wanted(options) || options.calibrate)
        app::UnattendedRun::reportToStderr();
    app::TfrmMain frmMain(gState, QCoreApplication::applicationDirPath());
    settings::TfrmSettings frmSettings(&frmMain, gState.colours, gState.measurement.Window,
                                       settingsHooks(frmMain));
    frmSettings.move(231, 139);
    frmMain.setSettingsDialog(&frmSettings);
    const int virtualInputs =
        static_cast<int>(options.inputFiles.size() + options.testSignals.size());
    if (!options.device.isEmpty()) {
        if (!frmMain.selectInputDevice(options.device))
            return usageError(
                QString("--device: no input device is named '%1'.").arg(options.device));
    } else if (virtualInputs > 0) {
        // The command line's inputs come last in the list; the first of them is used.
        const int first = static_cast<int>(capture::waveInGetNumDevs()) - virtualInputs;
        frmMain.selectInputDevice(frmMain.WaveDevice->itemText(first + 1));
    }
    if (options.page)
        frmMain.pgcAnalyzers->setCurrentIndex(static_cast<int>(*options.page));
    if (options.bands >= 0) {
        frmMain.cboOctaveType->setCurrentIndex(options.bands);
        frmMain.cboOctaveTypeChange();
    }
    if (options.averaging >= 0) {
        frmMain.cboAveraging->setCurrentIndex(options.averaging);
        frmMain.cboAveragingChange();
    }

    app::applyAnalyzerOptions(frmMain, options.analyzers);
    if (const int status = applyLevelOptions(options, frmMain, frmSettings); status != 0)
        return status;
    if (!options.loadMemories.isEmpty())
        if (const QString e = frmMain.loadMemories(options.loadMemories); !e.isEmpty())
            return usageError("--load-memories: " + e);

    app::UnattendedRun unattended(frmMain, options, [&frmMain](const QString& path) {
        return frmMain.exportLastSpectrum(path);
    });
    frmMain.restorePosition();
    app::reportFirstPaintIfAsked(frmMain);
    frmMain.openAtSize(options.size, options.maximized);
    if (options.generator) {
        frmMain.frmGenerator->move(frmMain.frameGeometry().right() + 8, 0);
        frmMain.frmGenerator->play(*options.generator);
    }
    if (options.calibrate)
        calibrateUnattended(options, frmMain);
    else if (options.start)
        frmMain.btnONOFFClick();
    unattended.begin();
    return application.exec();
}
