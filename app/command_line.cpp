#include "command_line.h"

#include "form_layout.h"
#include "string_table.h"

#include "capture/test_signal.h"

#include <QCommandLineParser>

#include <cmath>

namespace app {
namespace {

const QCommandLineOption kInputFile("input-file", "Adds a sound file as a looped input device.",
                                    "PATH");
const QCommandLineOption
    kTestSignal("test-signal",
                "Adds a test-signal input device: sine:FREQ[:LEVEL_dBFS], pink[:LEVEL_dBFS], "
                "white[:LEVEL_dBFS], sweep:F1-F2:SECONDS or silence; a level reads as given on "
                "the meter (a sine's peak, a noise's RMS).",
                "SPEC");
const QCommandLineOption
    kChannel("channel",
             "Reads channel N (1 for the first) of every --input-file instead of "
             "mixing its channels.",
             "N");
const QCommandLineOption kDevice("device",
                                 "Records from the input device of this name, as the "
                                 "list shows it.",
                                 "NAME");
const QCommandLineOption kPage("page",
                               "Opens the page rta, fft or scope (default: the page of "
                               "the last run).",
                               "PAGE");
const QCommandLineOption
    kAveraging("averaging", "The octave analysis averages none, fast, slow or very-slow.", "SPEED");
const QCommandLineOption kStart("start", "Starts capturing at once.");
const QCommandLineOption kScreenshot("screenshot", "Saves a picture of the window and quits.",
                                     "PNG");
const QCommandLineOption kAfterBlocks("after-blocks",
                                      "Takes the screenshot or export after N blocks "
                                      "(1 to 1000000).",
                                      "N");
const QCommandLineOption
    kExport("export", "Writes the last measured spectrum to a text file and quits.", "PATH");
const QCommandLineOption
    kExportCsv("export-csv",
               "Writes the live curve and the shown memories to a CSV file and quits.", "PATH");
const QCommandLineOption
    kLoadMemories("load-memories",
                  "Opens a memories file at start-up, all its slots shown: the octave "
                  "analysis' or the FFT page's, as the file's first line says.",
                  "PATH");
const QCommandLineOption kSettings("settings", "Keeps the settings in this file.", "PATH");
const QCommandLineOption kBands("bands", "Sets the RTA's resolution: 1/1, 1/3, 1/6 or 1/12 octave.",
                                "BANDS");
const QCommandLineOption kNoPacing("no-pacing",
                                   "Sound-file inputs deliver their blocks as fast as they are "
                                   "analysed, not in real time: for batch runs over recordings.");
const QCommandLineOption
    kGenerator("generator",
               "Plays a signal on an output device from the start, as --test-signal describes it "
               "(pink, white, sine or sweep; LEVEL_dBFS -20 when not given).",
               "SPEC");
const QCommandLineOption
    kOutputDevice("output-device",
                  "The output device --generator plays on (default: the system's).", "NAME");
const QCommandLineOption kReference("reference",
                                    "Levels read dbfs, spl (needs a calibration) or raw.", "REF");
const QCommandLineOption kWeighting("weighting", "Frequency weighting A, C or Z.", "W");
const QCommandLineOption kRtaCurve("rta-curve",
                                   "The octave analysis shows and keeps now, leq or max.", "CURVE");
const QCommandLineOption
    kCalibrate("calibrate",
               "Measures a sound calibrator of LEVEL_dB dB SPL on the input, keeps the offset, "
               "prints it and quits (status 1 when the tone is refused).",
               "LEVEL_dB");
const QCommandLineOption kCalibrateFrequency("calibrate-frequency",
                                             "The calibrator's frequency (default 1000).", "HZ");
const QCommandLineOption
    kCalibrationOffset("calibration-offset",
                       "Sets the calibration: dB SPL - dBFS of the microphone.", "DB");
const QCommandLineOption
    kMicCorrection("mic-correction", "Uses a microphone correction file (none: no file).", "PATH");
const QCommandLineOption kSize("size",
                               "Opens the window WIDTHxHEIGHT pixels large (menu and status line "
                               "included), for pictures at other sizes.",
                               "WIDTHxHEIGHT");
const QCommandLineOption kMaximized("maximized", "Opens the window maximised.");
const QCommandLineOption kHelp({"h", "help"}, "Shows this help.");
const QCommandLineOption kVersion("version", "Shows the program's version.");

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        "Spectrion: octave-band RTA, FFT analyzer and oscilloscope (German user interface).\n"
        "Records 16-bit mono at 48000 Hz from a sound-card input, a sound file (any rate and "
        "channel count libsndfile reads, resampled to 48000 Hz) or a test signal.");
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kInputFile,
                       kChannel,
                       kTestSignal,
                       kDevice,
                       kPage,
                       kBands,
                       kAveraging,
                       kStart,
                       kScreenshot,
                       kAfterBlocks,
                       kExport,
                       kExportCsv,
                       kLoadMemories,
                       kSettings,
                       kNoPacing,
                       kGenerator,
                       kOutputDevice,
                       kReference,
                       kWeighting,
                       kRtaCurve,
                       kCalibrate,
                       kCalibrateFrequency,
                       kCalibrationOffset,
                       kMicCorrection,
                       kSize,
                       kMaximized,
                       kVersion,
                       kHelp});
    parser.addOptions(analyzerCommandLineOptions());
}

std::optional<Page> pageNamed(const QString& name)
{
    if (name == "rta")
        return Page::Rta;
    if (name == "fft")
        return Page::Fft;
    if (name == "scope")
        return Page::Scope;
    return std::nullopt;
}

// A whole number from `least` to `most`, or nothing.
std::optional<int> wholeNumber(const QString& text, int least, int most)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < least || value > most)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<GeneratorSettings> generatorSignal(const QString& spec, QString& error)
{
    std::string reason;
    const auto params =
        capture::parseTestSignal(spec.toStdString(), reason, GeneratorSettings::kDefaultLevelDb);
    if (!params) {
        error = QString::fromStdString(reason);
        return std::nullopt;
    }
    return GeneratorSettings::fromParams(*params, error);
}

std::optional<double> decimalOption(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// The calibrated-level options into o; an error text for a bad one.
QString parseLevelOptions(const QCommandLineParser& parser, Options& o)
{
    if (parser.isSet(kReference)) {
        const int i = QStringList{"dbfs", "spl", "raw"}.indexOf(parser.value(kReference));
        if (i < 0)
            return QString("--reference takes dbfs, spl or raw, not '%1'.")
                .arg(parser.value(kReference));
        o.reference = engine::LevelReference(i);
    }
    if (parser.isSet(kWeighting)) {
        const int i = QStringList{"Z", "A", "C"}.indexOf(parser.value(kWeighting).toUpper());
        if (i < 0)
            return QString("--weighting takes A, C or Z, not '%1'.").arg(parser.value(kWeighting));
        o.weighting = engine::Weighting(i);
    }
    if (parser.isSet(kRtaCurve)) {
        const int i = QStringList{"now", "leq", "max"}.indexOf(parser.value(kRtaCurve));
        if (i < 0)
            return QString("--rta-curve takes now, leq or max, not '%1'.")
                .arg(parser.value(kRtaCurve));
        o.rtaCurve = engine::RtaCurve(i);
    }
    if (parser.isSet(kCalibrationOffset)) {
        o.calibrationOffset = decimalOption(parser.value(kCalibrationOffset));
        if (!o.calibrationOffset)
            return QString("--calibration-offset takes a number of dB, not '%1'.")
                .arg(parser.value(kCalibrationOffset));
    }
    if (parser.isSet(kMicCorrection)) {
        const QString path = parser.value(kMicCorrection);
        if (path.isEmpty())
            return "--mic-correction needs a file name (or none).";
        o.micCorrection = path == "none" ? QString() : path;
    }
    if (parser.isSet(kCalibrate)) {
        o.calibrate = decimalOption(parser.value(kCalibrate));
        if (!o.calibrate)
            return QString("--calibrate takes the calibrator's level in dB SPL, not '%1'.")
                .arg(parser.value(kCalibrate));
        if (o.calibrationOffset)
            return "--calibrate and --calibration-offset exclude each other.";
    }
    if (parser.isSet(kCalibrateFrequency)) {
        const auto hz = decimalOption(parser.value(kCalibrateFrequency));
        if (!hz || *hz < 20 || *hz > 20000)
            return QString("--calibrate-frequency takes 20 to 20000 Hz, not '%1'.")
                .arg(parser.value(kCalibrateFrequency));
        if (!o.calibrate)
            return "--calibrate-frequency needs --calibrate.";
        o.calibrateFrequency = *hz;
    }
    return {};
}

// WIDTHxHEIGHT, each a whole number of pixels from kMinimumWindow to kMaximumWindow.
std::optional<QSize> windowSize(const QString& text)
{
    const QStringList parts = text.toLower().split('x');
    if (parts.size() != 2)
        return std::nullopt;
    bool okW = false;
    bool okH = false;
    const int w = parts[0].toInt(&okW);
    const int h = parts[1].toInt(&okH);
    if (!okW || !okH || w < kMinimumWindow.width() || h < kMinimumWindow.height() ||
        w > kMaximumWindow.width() || h > kMaximumWindow.height())
        return std::nullopt;
    return QSize(w, h);
}

} // namespace

QString versionText()
{
    return LoadStr(sProduct) + " " + LoadStr(sVersion) + "\n";
}

QString usageText()
{
    QCommandLineParser parser;
    describe(parser);
    // Without an application object (--help needs no display) Qt knows no program name.
    return parser.helpText().replace(QStringLiteral("<executable_name>"),
                                     QStringLiteral("spectrion"));
}

ParseResult parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return {std::nullopt, parser.errorText()};
    if (parser.isSet(kHelp))
        return {std::nullopt, {}, true};
    if (parser.isSet(kVersion))
        return {std::nullopt, {}, false, true};
    if (!parser.positionalArguments().isEmpty())
        return {std::nullopt,
                QString("Unexpected argument '%1'.").arg(parser.positionalArguments().first())};

    Options o;
    o.inputFiles = parser.values(kInputFile);
    o.testSignals = parser.values(kTestSignal);
    o.device = parser.value(kDevice);
    if (parser.isSet(kDevice) && o.device.isEmpty())
        return {std::nullopt, "--device needs a name."};
    if (parser.isSet(kChannel)) {
        const auto channel = wholeNumber(parser.value(kChannel), 1, kMaxChannel);
        if (!channel)
            return {std::nullopt, QString("--channel takes a whole number from 1 to %1, not '%2'.")
                                      .arg(kMaxChannel)
                                      .arg(parser.value(kChannel))};
        if (o.inputFiles.isEmpty())
            return {std::nullopt, "--channel needs --input-file."};
        o.channel = *channel;
    }
    if (parser.isSet(kPage)) {
        const auto page = pageNamed(parser.value(kPage));
        if (!page)
            return {std::nullopt,
                    QString("--page takes rta, fft or scope, not '%1'.").arg(parser.value(kPage))};
        o.page = *page;
    }
    if (parser.isSet(kBands)) {
        o.bands = QStringList{"1/1", "1/3", "1/6", "1/12"}.indexOf(parser.value(kBands));
        if (o.bands < 0)
            return {std::nullopt, QString("--bands takes 1/1, 1/3, 1/6 or 1/12, not '%1'.")
                                      .arg(parser.value(kBands))};
    }
    if (parser.isSet(kAveraging)) {
        o.averaging =
            QStringList{"none", "fast", "slow", "very-slow"}.indexOf(parser.value(kAveraging));
        if (o.averaging < 0)
            return {std::nullopt,
                    QString("--averaging takes none, fast, slow or very-slow, not '%1'.")
                        .arg(parser.value(kAveraging))};
    }
    if (const QString e = parseAnalyzerOptions(parser, o.analyzers); !e.isEmpty())
        return {std::nullopt, e};
    o.pacing = !parser.isSet(kNoPacing);
    o.start = parser.isSet(kStart);
    o.screenshot = parser.value(kScreenshot);
    o.exportPath = parser.value(kExport);
    o.settings = parser.value(kSettings);
    o.exportCsvPath = parser.value(kExportCsv);
    o.loadMemories = parser.value(kLoadMemories);
    if (parser.isSet(kExportCsv) && o.exportCsvPath.isEmpty())
        return {std::nullopt, "--export-csv needs a file name."};
    if (parser.isSet(kLoadMemories) && o.loadMemories.isEmpty())
        return {std::nullopt, "--load-memories needs a file name."};
    if (parser.isSet(kScreenshot) && o.screenshot.isEmpty())
        return {std::nullopt, "--screenshot needs a file name."};
    if (parser.isSet(kExport) && o.exportPath.isEmpty())
        return {std::nullopt, "--export needs a file name."};
    if (parser.isSet(kSettings) && o.settings.isEmpty())
        return {std::nullopt, "--settings needs a file name."};
    if (parser.isSet(kAfterBlocks)) {
        const auto blocks = wholeNumber(parser.value(kAfterBlocks), 1, kMaxAfterBlocks);
        if (!blocks)
            return {std::nullopt, QString("--after-blocks takes a whole number from 1 to %1, "
                                          "not '%2'.")
                                      .arg(kMaxAfterBlocks)
                                      .arg(parser.value(kAfterBlocks))};
        o.afterBlocks = *blocks;
        if (o.screenshot.isEmpty() && o.exportPath.isEmpty() && o.exportCsvPath.isEmpty())
            return {std::nullopt, "--after-blocks needs --screenshot, --export or --export-csv."};
        if (!o.start)
            return {std::nullopt, "--after-blocks needs --start: no blocks arrive otherwise."};
    }
    if (parser.isSet(kGenerator)) {
        QString error;
        o.generator = generatorSignal(parser.value(kGenerator), error);
        if (!o.generator)
            return {std::nullopt,
                    QString("--generator %1: %2.").arg(parser.value(kGenerator), error)};
        o.generator->outputDevice = parser.value(kOutputDevice);
    } else if (parser.isSet(kOutputDevice)) {
        return {std::nullopt, "--output-device needs --generator."};
    }
    if (const QString e = parseLevelOptions(parser, o); !e.isEmpty())
        return {std::nullopt, e};
    if (parser.isSet(kSize)) {
        o.size = windowSize(parser.value(kSize));
        if (!o.size)
            return {std::nullopt,
                    QString("--size takes WIDTHxHEIGHT from %1x%2 to %3x%4, not '%5'.")
                        .arg(kMinimumWindow.width())
                        .arg(kMinimumWindow.height())
                        .arg(kMaximumWindow.width())
                        .arg(kMaximumWindow.height())
                        .arg(parser.value(kSize))};
    }
    o.maximized = parser.isSet(kMaximized);
    if (o.size && o.maximized)
        return {std::nullopt, "--size and --maximized exclude each other."};
    if (o.calibrate && (!o.screenshot.isEmpty() || !o.exportPath.isEmpty()))
        return {std::nullopt, "--calibrate runs alone: it quits once it has measured."};
    if (!o.exportPath.isEmpty() && !o.start)
        return {std::nullopt, "--export needs --start: it writes a measured spectrum."};
    if (!o.exportCsvPath.isEmpty() && !o.start && o.loadMemories.isEmpty())
        return {std::nullopt, "--export-csv needs --start or --load-memories: it writes measured "
                              "or stored spectra."};
    if (o.start &&
        (!o.screenshot.isEmpty() || !o.exportPath.isEmpty() || !o.exportCsvPath.isEmpty()) &&
        o.afterBlocks == 0)
        o.afterBlocks = 1;
    return {o, {}};
}

} // namespace app
