#include "app/command_line.h"
#include "app/string_table.h"

#include <gtest/gtest.h>

using app::parseCommandLine;

namespace {

app::ParseResult parse(QStringList args)
{
    args.prepend("spectrion");
    return parseCommandLine(args);
}

} // namespace

TEST(CommandLine, AcceptsEveryOptionTogether)
{
    const auto r = parse({"--input-file",
                          "a.wav",
                          "--test-signal",
                          "sine:1000",
                          "--test-signal",
                          "pink",
                          "--page",
                          "scope",
                          "--start",
                          "--screenshot",
                          "out.png",
                          "--after-blocks",
                          "5",
                          "--export",
                          "x.txt",
                          "--settings",
                          "s.json",
                          "--channel",
                          "2",
                          "--device",
                          "Test signal: pink",
                          "--bands",
                          "1/12",
                          "--no-pacing",
                          "--averaging",
                          "very-slow",
                          "--generator",
                          "sweep:20-20000:10",
                          "--output-device",
                          "pulse"});
    ASSERT_TRUE(r.options) << r.error.toStdString();
    EXPECT_EQ(r.options->inputFiles, QStringList{"a.wav"});
    EXPECT_EQ(r.options->testSignals, (QStringList{"sine:1000", "pink"}));
    EXPECT_EQ(r.options->page, app::Page::Scope);
    EXPECT_TRUE(r.options->start);
    EXPECT_EQ(r.options->screenshot, "out.png");
    EXPECT_EQ(r.options->afterBlocks, 5);
    EXPECT_EQ(r.options->exportPath, "x.txt");
    EXPECT_EQ(r.options->settings, "s.json");
    EXPECT_EQ(r.options->channel, 2);
    EXPECT_EQ(r.options->device, "Test signal: pink");
    EXPECT_EQ(r.options->averaging, 3);
    ASSERT_TRUE(r.options->generator);
    EXPECT_EQ(r.options->generator->signal, app::GeneratorSettings::Signal::Sweep);
    EXPECT_EQ(r.options->generator->sweepEnd, 20000);
    EXPECT_EQ(r.options->generator->levelDb, -20); // the generator's default, not the input's
    EXPECT_EQ(r.options->generator->outputDevice, "pulse");
    EXPECT_EQ(r.options->bands, 3);
    EXPECT_FALSE(r.options->pacing);
    const char* bands[] = {"1/1", "1/3", "1/6", "1/12"};
    const char* speeds[] = {"none", "fast", "slow", "very-slow"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(parse({"--bands", bands[i]}).options->bands, i);
        EXPECT_EQ(parse({"--averaging", speeds[i]}).options->averaging, i);
    }

    const auto plain = parse({});
    ASSERT_TRUE(plain.options);
    EXPECT_FALSE(plain.options->page) << "the page of the last run";
    EXPECT_EQ(plain.options->channel, 0);
    EXPECT_FALSE(plain.options->start);
    EXPECT_EQ(plain.options->averaging, -1);
    EXPECT_FALSE(plain.options->generator);
    EXPECT_EQ(plain.options->bands, -1);
    EXPECT_TRUE(plain.options->pacing);

    // The calibrated levels.
    const auto levels = parse({"--reference", "spl", "--weighting", "a", "--rta-curve", "max",
                               "--calibration-offset", "120.5", "--mic-correction", "m.txt"});
    ASSERT_TRUE(levels.options) << levels.error.toStdString();
    EXPECT_EQ(levels.options->reference, engine::LevelReference::Spl);
    EXPECT_EQ(levels.options->weighting, engine::Weighting::A);
    EXPECT_EQ(levels.options->rtaCurve, engine::RtaCurve::Max);
    EXPECT_EQ(levels.options->calibrationOffset, 120.5);
    EXPECT_EQ(levels.options->micCorrection, QString("m.txt"));
    EXPECT_EQ(parse({"--mic-correction", "none"}).options->micCorrection, QString());
    const auto calibrate = parse({"--calibrate", "94", "--calibrate-frequency", "250"});
    ASSERT_TRUE(calibrate.options);
    EXPECT_EQ(calibrate.options->calibrate, 94.0);
    EXPECT_EQ(calibrate.options->calibrateFrequency, 250.0);
    EXPECT_FALSE(plain.options->reference);
    EXPECT_FALSE(plain.options->calibrate);

    // A screenshot with --start but no block count is taken after the first block.
    const auto first = parse({"--start", "--screenshot", "a.png"});
    ASSERT_TRUE(first.options);
    EXPECT_EQ(first.options->afterBlocks, 1);
    EXPECT_TRUE(parse({"--help"}).helpRequested);
    EXPECT_TRUE(parse({"--version"}).versionRequested);
    EXPECT_EQ(app::versionText(), "Spectrion 1.2\n");
    // Stored spectra export without a capture.
    const auto stored = parse({"--load-memories", "m.txt", "--export-csv", "m.csv"});
    ASSERT_TRUE(stored.options) << stored.error.toStdString();
    EXPECT_EQ(stored.options->loadMemories, "m.txt");
    EXPECT_EQ(stored.options->exportCsvPath, "m.csv");
}

TEST(CommandLine, TheWindowsSizeOrMaximisedState)
{
    EXPECT_EQ(parse({"--size", "1280x800"}).options->size, QSize(1280, 800));
    EXPECT_EQ(parse({"--size", "632X480"}).options->size, QSize(632, 480));
    EXPECT_TRUE(parse({"--maximized"}).options->maximized);
    EXPECT_FALSE(parse({}).options->size);
}

TEST(CommandLine, RejectsBadOptionsWithOneLine)
{
    const QList<QStringList> bad = {
        {"--bogus"},
        {"--page", "spectrum"},
        {"--page"},
        {"--start", "--screenshot", "a.png", "--after-blocks", "0"},
        {"--start", "--screenshot", "a.png", "--after-blocks", "many"},
        {"--start", "--after-blocks", "3"},
        {"--screenshot", "a.png", "--after-blocks", "3"},
        {"--export", "x.txt"},
        {"--export-csv", "x.csv"},
        {"--load-memories", ""},
        {"stray"},
        {"--screenshot", ""},
        // Numbers out of range, however they are written.
        {"--start", "--screenshot", "a.png", "--after-blocks", "4294968"},
        {"--start", "--screenshot", "a.png", "--after-blocks", "1000001"},
        {"--start", "--screenshot", "a.png", "--after-blocks", "99999999999999999999"},
        {"--start", "--screenshot", "a.png", "--after-blocks", "-1"},
        {"--input-file", "a.wav", "--channel", "0"},
        {"--input-file", "a.wav", "--channel", "65"},
        {"--input-file", "a.wav", "--channel", "1.5"},
        {"--channel", "1"},
        {"--device", ""},
        {"--bands", "1/24"},
        {"--bands", "3"},
        {"--averaging"},
        {"--averaging", "glacial"},
        {"--generator", "silence"},
        {"--generator", "sine:30000"},
        {"--generator", "pink:3"},
        {"--generator", "pink:-100"},
        {"--output-device", "pulse"},
        {"--reference", "dbspl"},
        {"--weighting", "B"},
        {"--rta-curve", "avg"},
        {"--calibrate", "loud"},
        {"--calibrate-frequency", "1000"},
        {"--calibrate", "94", "--calibrate-frequency", "5"},
        {"--calibrate", "94", "--calibration-offset", "100"},
        {"--calibrate", "94", "--start", "--screenshot", "a.png"},
        {"--calibration-offset", "x"},
        {"--size", "800"},
        {"--size", "100x100"},
        {"--size", "5000x800"},
        {"--size", "800x600", "--maximized"},
    };
    for (const auto& args : bad) {
        const auto r = parse(args);
        EXPECT_FALSE(r.options) << args.join(' ').toStdString();
        EXPECT_FALSE(r.error.isEmpty()) << args.join(' ').toStdString();
        EXPECT_FALSE(r.error.contains('\n')) << r.error.toStdString();
    }
    for (const char* option :
         {"--test-signal", "--bands", "--averaging", "--no-pacing", "--reference", "--weighting",
          "--rta-curve", "--calibrate", "--calibrate-frequency", "--calibration-offset",
          "--mic-correction", "--size", "--maximized"})
        EXPECT_TRUE(app::usageText().contains(option)) << option;
}

TEST(StringTable, TextsByNumberAndGapsEmpty)
{
    EXPECT_EQ(app::LoadStr(65241), "Windows-Standard");
    EXPECT_EQ(app::LoadStr(65277) + " " + app::LoadStr(65276), "Spectrion 1.2");
    EXPECT_EQ(app::LoadStr(app::sAvgVerySlow), "Sehr Langsam");
    EXPECT_EQ(app::LoadStr(65222), QString::fromUtf8("Auflösung"));
    EXPECT_TRUE(app::LoadStr(65248).startsWith("Es wurde keine Soundkarte gefunden!"));
    EXPECT_TRUE(app::LoadStr(65248).endsWith(QString::fromUtf8("überprüfen Sie den Eingang.")));
    EXPECT_TRUE(app::LoadStr(65242).isEmpty());
    EXPECT_TRUE(app::LoadStr(0).isEmpty());
    EXPECT_TRUE(app::LoadStr(70000).isEmpty());
}

TEST(CommandLine, FftAndScopeOptionsTakeTheirValuesAndRefuseOthers)
{
    const auto r = parse({"--fft-averaging",
                          "infinite",
                          "--fft-hold",
                          "--fft-axis",
                          "log",
                          "--fft-length",
                          "65536",
                          "--fft-range",
                          "100:10000",
                          "--fft-levels",
                          "10:80",
                          "--trigger",
                          "single",
                          "--trigger-edge",
                          "falling",
                          "--trigger-level",
                          "-25.5",
                          "--trigger-position",
                          "50",
                          "--scope-style",
                          "lines",
                          "--timebase",
                          "100us"});
    ASSERT_TRUE(r.options) << r.error.toStdString();
    const app::AnalyzerOptions& a = r.options->analyzers;
    EXPECT_EQ(a.fftAveraging, engine::FftAveraging::Infinite);
    EXPECT_TRUE(a.fftHold);
    EXPECT_EQ(a.fftAxis, engine::FftAxisScale::Log);
    EXPECT_EQ(a.fftLength, 65536);
    EXPECT_EQ(a.fftRange, std::pair(100.0, 10000.0));
    EXPECT_EQ(a.fftLevels, std::pair(10.0, 80.0));
    EXPECT_EQ(a.trigger, engine::TriggerMode::Single);
    EXPECT_EQ(a.triggerEdge, engine::TriggerEdge::Falling);
    EXPECT_EQ(a.triggerLevel, -25.5);
    EXPECT_EQ(a.triggerPosition, 50.0);
    EXPECT_EQ(a.scopeStyle, display::ScopeTraceStyle::Lines);
    EXPECT_EQ(a.timeBase, 1);
    EXPECT_EQ(parse({"--timebase", "100ms"}).options->analyzers.timeBase, 10);
    EXPECT_EQ(parse({"--timebase", QString::fromUtf8("200\u00B5s")}).options->analyzers.timeBase,
              2);
    const auto plain = parse({});
    EXPECT_FALSE(plain.options->analyzers.fftAveraging || plain.options->analyzers.trigger ||
                 plain.options->analyzers.timeBase || plain.options->analyzers.fftHold);

    for (const QStringList& args : QList<QStringList>{{"--fft-averaging", "forever"},
                                                      {"--fft-axis", "exp"},
                                                      {"--fft-length", "12000"},
                                                      {"--fft-range", "100"},
                                                      {"--trigger", "always"},
                                                      {"--trigger-edge", "up"},
                                                      {"--trigger-level", "120"},
                                                      {"--trigger-position", "-1"},
                                                      {"--timebase", "1s"},
                                                      {"--scope-style", "dots"}}) {
        const auto bad = parse(args);
        EXPECT_FALSE(bad.options) << args.join(' ').toStdString();
        EXPECT_FALSE(bad.error.isEmpty() || bad.error.contains('\n')) << bad.error.toStdString();
    }
    for (const char* option : {"--fft-averaging", "--fft-hold", "--fft-axis", "--fft-length",
                               "--trigger", "--trigger-edge", "--trigger-level", "--timebase"})
        EXPECT_TRUE(app::usageText().contains(option)) << option;
}
