#include "command_line.h"

#include <QCommandLineParser>

#include <initializer_list>

namespace app {
namespace {

const QCommandLineOption kInputFile("input-file", "Adds a sound file as a looped input device.",
                                    "PATH");
const QCommandLineOption
    kTestSignal("test-signal",
                "Adds a test-signal input device: sine:FREQ[:LEVEL_dBFS], pink[:LEVEL_dBFS], "
                "white[:LEVEL_dBFS], sweep:F1-F2:SECONDS or silence.",
                "SPEC");
const QCommandLineOption kPage("page", "Opens the page rta, fft or scope.", "PAGE");
const QCommandLineOption kStart("start", "Starts capturing at once.");
const QCommandLineOption kScreenshot("screenshot", "Saves a picture of the window and quits.",
                                     "PNG");
const QCommandLineOption kAfterBlocks("after-blocks",
                                      "Takes the screenshot or export after N blocks.", "N");
const QCommandLineOption
    kExport("export", "Writes the last measured spectrum to a text file and quits.", "PATH");
const QCommandLineOption kSettings("settings", "Keeps the settings in this file.", "PATH");
const QCommandLineOption kBands("bands", "Sets the RTA's resolution: 1/1, 1/3, 1/6 or 1/12 octave.",
                                "BANDS");
const QCommandLineOption
    kAveraging("averaging", "Sets the RTA's averaging: none, fast, slow or very-slow.", "SPEED");
const QCommandLineOption kNoPacing("no-pacing",
                                   "Sound-file inputs deliver their blocks as fast as they are "
                                   "analysed, not in real time: for batch runs over recordings.");
const QCommandLineOption kHelp({"h", "help"}, "Shows this help.");

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription("Spectrion: octave-band RTA, FFT analyzer and oscilloscope.");
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kInputFile, kTestSignal, kPage, kStart, kScreenshot, kAfterBlocks, kExport,
                       kSettings, kBands, kAveraging, kNoPacing, kHelp});
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

// The index of `name` in `names`, or -1.
int itemNamed(const QString& name, std::initializer_list<const char*> names)
{
    int i = 0;
    for (const char* n : names) {
        if (name == QLatin1String(n))
            return i;
        ++i;
    }
    return -1;
}

} // namespace

QString usageText()
{
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}

ParseResult parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        return {std::nullopt, parser.errorText()};
    if (parser.isSet(kHelp))
        return {std::nullopt, {}, true};
    if (!parser.positionalArguments().isEmpty())
        return {std::nullopt,
                QString("Unexpected argument '%1'.").arg(parser.positionalArguments().first())};

    Options o;
    o.inputFiles = parser.values(kInputFile);
    o.testSignals = parser.values(kTestSignal);
    if (parser.isSet(kPage)) {
        const auto page = pageNamed(parser.value(kPage));
        if (!page)
            return {std::nullopt,
                    QString("--page takes rta, fft or scope, not '%1'.").arg(parser.value(kPage))};
        o.page = *page;
    }
    if (parser.isSet(kBands)) {
        o.bands = itemNamed(parser.value(kBands), {"1/1", "1/3", "1/6", "1/12"});
        if (o.bands < 0)
            return {std::nullopt, QString("--bands takes 1/1, 1/3, 1/6 or 1/12, not '%1'.")
                                      .arg(parser.value(kBands))};
    }
    if (parser.isSet(kAveraging)) {
        o.averaging = itemNamed(parser.value(kAveraging), {"none", "fast", "slow", "very-slow"});
        if (o.averaging < 0)
            return {std::nullopt,
                    QString("--averaging takes none, fast, slow or very-slow, not '%1'.")
                        .arg(parser.value(kAveraging))};
    }
    o.pacing = !parser.isSet(kNoPacing);
    o.start = parser.isSet(kStart);
    o.screenshot = parser.value(kScreenshot);
    o.exportPath = parser.value(kExport);
    o.settings = parser.value(kSettings);
    if (parser.isSet(kScreenshot) && o.screenshot.isEmpty())
        return {std::nullopt, "--screenshot needs a file name."};
    if (parser.isSet(kExport) && o.exportPath.isEmpty())
        return {std::nullopt, "--export needs a file name."};
    if (parser.isSet(kSettings) && o.settings.isEmpty())
        return {std::nullopt, "--settings needs a file name."};
    if (parser.isSet(kAfterBlocks)) {
        bool ok = false;
        o.afterBlocks = parser.value(kAfterBlocks).toInt(&ok);
        if (!ok || o.afterBlocks < 1)
            return {std::nullopt, QString("--after-blocks takes a whole number of at least 1, "
                                          "not '%1'.")
                                      .arg(parser.value(kAfterBlocks))};
        if (o.screenshot.isEmpty() && o.exportPath.isEmpty())
            return {std::nullopt, "--after-blocks needs --screenshot or --export."};
        if (!o.start)
            return {std::nullopt, "--after-blocks needs --start: no blocks arrive otherwise."};
    }
    if (!o.exportPath.isEmpty() && !o.start)
        return {std::nullopt, "--export needs --start: it writes a measured spectrum."};
    if (o.start && (!o.screenshot.isEmpty() || !o.exportPath.isEmpty()) && o.afterBlocks == 0)
        o.afterBlocks = 1;
    return {o, {}};
}

} // namespace app
