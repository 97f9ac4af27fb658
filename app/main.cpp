// Start-up: the command line, the virtual inputs, the main window, then the
// message loop.

#include "app_state.h"
#include "command_line.h"
#include "frm_generator.h"
#include "frm_main.h"
#include "message_box.h"
#include "string_table.h"
#include "unattended.h"

#include "capture/virtual_devices.h"
#include "capture/wavein.h"
#include "settings/settings_dialog.h"
#include "settings/store_path.h"

#include <QApplication>
#include <QComboBox>
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

    if (app::UnattendedRun::wanted(options))
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

    app::UnattendedRun unattended(frmMain, options, [&frmMain](const QString& path) {
        return frmMain.exportLastSpectrum(path);
    });
    frmMain.restorePosition();
    frmMain.show();
    if (options.generator) {
        frmMain.frmGenerator->move(frmMain.frameGeometry().right() + 8, 0);
        frmMain.frmGenerator->play(*options.generator);
    }
    if (options.start)
        frmMain.btnONOFFClick();
    unattended.begin();
    return application.exec();
}
