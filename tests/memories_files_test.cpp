#include "memories/memory_file.h"
#include "memories/spectrum_export.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <limits>

using namespace memories;

namespace {

SlotTable gTable; // 630 KB: static, as in the program

constexpr double kInf = std::numeric_limits<double>::infinity();

// A third-octave measurement with awkward values in every field.
void fill(SpectrumRec& rec, int seed)
{
    rec.bands = 32;
    for (int j = 0; j < 32; ++j) {
        rec.f[j] = 17.0 * std::pow(2.0, j / 3.0) + seed;
        rec.levels[j] = j == 0 ? std::nan("") : (j == 5 ? -kInf : 40.0 + j * 0.1234567 + seed);
        rec.l[j] = 386 - j - seed;
        rec.coordinates[0][j] = j * 21 + seed;
        rec.coordinates[1][j] = 300 - j;
    }
    rec.comment = QString::fromUtf8("Wohnzimmer, vorne – Gäste: 3");
    rec.Color = seed % 2 ? 0x00FF8000u : 0xFF00000Fu;
    rec.stored = QDateTime(QDate(2026, 12, 7), QTime(22, 41, seed % 60));
    rec.windowType = seed % 4;
    rec.averaging = 3 - seed % 4;
    // Every other record from a file of the days before the count was kept.
    rec.droppedBlocks = seed % 2 ? -1 : seed;
    rec.HasData = true;
    rec.DrawMe = true;
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
           (std::isnan(a) && std::isnan(b));
}

void expectSameMeasurement(const SpectrumRec& got, const SpectrumRec& want)
{
    ASSERT_EQ(got.bands, want.bands);
    for (int j = 0; j < want.bands; ++j) {
        EXPECT_TRUE(sameBits(got.f[j], want.f[j])) << j;
        EXPECT_TRUE(sameBits(got.levels[j], want.levels[j])) << j;
        EXPECT_EQ(got.l[j], want.l[j]) << j;
        EXPECT_EQ(got.coordinates[0][j], want.coordinates[0][j]) << j;
        EXPECT_EQ(got.coordinates[1][j], want.coordinates[1][j]) << j;
    }
    EXPECT_EQ(got.comment, want.comment);
    EXPECT_EQ(got.Color, want.Color);
    EXPECT_EQ(got.stored, want.stored);
    EXPECT_EQ(got.windowType, want.windowType);
    EXPECT_EQ(got.averaging, want.averaging);
    EXPECT_EQ(got.droppedBlocks, want.droppedBlocks);
    EXPECT_TRUE(got.HasData);
    EXPECT_FALSE(got.DrawMe);
}

} // namespace

TEST(MemoryFile, OneAndAllSlotsComeBackExactlyWhateverTheLocale)
{
    // A decimal comma in the user's locale must not reach the file.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    for (int m = 1; m <= 8; ++m)
        fill(gTable[m], m);

    QTemporaryDir dir;
    const QString one = dir.filePath("one.txt");
    const int three[] = {3};
    ASSERT_EQ(writeMemoryFile(one, memories::MemoryKind::Rta, gTable, three), "");
    std::vector<LoadedMemory> loaded;
    ASSERT_EQ(readMemoryFile(one, loaded), "");
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].memory, 3);
    expectSameMeasurement(*loaded[0].rec, gTable[3]);

    const int all[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const QByteArray text = memoryFileText(memories::MemoryKind::Rta, gTable, all);
    EXPECT_FALSE(text.contains("0,12")) << "a decimal comma slipped in";
    ASSERT_EQ(parseMemoryFile(text, loaded), "");
    ASSERT_EQ(loaded.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(loaded[i].memory, i + 1);
        expectSameMeasurement(*loaded[i].rec, gTable[i + 1]);
    }
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
}

TEST(MemoryFile, AnythingElseIsRefusedAndChangesNothing)
{
    fill(gTable[2], 2);
    const int two[] = {2};
    const QByteArray good = memoryFileText(memories::MemoryKind::Rta, gTable, two);
    QByteArray badEntry = good;
    badEntry.replace("\n3, ", "\n4, ");
    QByteArray missingEnd = good;
    missingEnd.chop(4);
    QByteArray badMemory = good;
    badMemory.replace("memory: 2", "memory: 9");
    QByteArray fewCells = good;
    fewCells.replace("\n7, ", "\n7 ");
    QByteArray badColour = good;
    badColour.replace("color: 0x", "color: blue");
    const QByteArray twice = good + good.mid(good.indexOf('\n') + 1);
    const QList<QByteArray> bad = {
        "",
        "Spectrum from Spectrion\r\n/tmp/x.txt\r\n17, nan\r\n",
        QByteArray("Spectrion spectra 1\n"),
        QByteArray("\x89PNG\r\n\x1a\n\0\0", 10),
        badEntry,
        missingEnd,
        badMemory,
        fewCells,
        badColour,
        twice,
    };
    for (const QByteArray& text : bad) {
        std::vector<LoadedMemory> out(1);
        out[0].memory = 7;
        const QString error = parseMemoryFile(text, out);
        EXPECT_FALSE(error.isEmpty()) << text.left(60).toStdString();
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].memory, 7);
    }

    QTemporaryDir dir;
    QFile f(dir.filePath("foreign.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("just some notes\n");
    f.close();
    std::vector<LoadedMemory> out;
    const QString error = readMemoryFile(f.fileName(), out);
    EXPECT_TRUE(error.contains(f.fileName())) << error.toStdString();
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(readMemoryFile(dir.filePath("missing.txt"), out).contains("missing.txt"));
}

TEST(MemoryFile, FftSpectraComeBackBinForBinAndAreNeverTakenForBands)
{
    static SlotTable fft;
    const struct {
        int memory, length, rate;
    } spectra[] = {{1, 8192, 48000}, {6, 65536, 44100}};
    for (const auto& s : spectra) {
        SpectrumRec& rec = fft[s.memory];
        fill(rec, s.memory);
        rec.windowType = kWelchWindow;
        rec.averaging = s.memory == 1 ? kInfiniteAveraging : 2;
        rec.description = "Bezug: dB SPL; Bewertung: A; Kalibriert: 94.00 dB (2026-12-08T10:00:00)";
        rec.fft.length = s.length;
        rec.fft.sampleRate = s.rate;
        rec.fft.power.resize(s.length / 2);
        // Powers over 300 dB of range, and none at all in bin 0 and bin 7.
        for (std::size_t k = 0; k < rec.fft.power.size(); ++k)
            rec.fft.power[k] = std::ldexp(1.0f + 0.37f * float(k % 11), int(k % 97) - 60);
        rec.fft.power[0] = 0;
        rec.fft.power[7] = 0;
    }
    const int both[] = {1, 6};
    const QByteArray text = memoryFileText(MemoryKind::Fft, fft, both);
    EXPECT_TRUE(text.startsWith("Spectrion FFT spectra 1\nmemory: 1\n"));
    EXPECT_TRUE(text.contains("\nlength: 65536\nrate: 44100\nbin, frequency_Hz, level_dBFS\n"));
    EXPECT_TRUE(text.contains("\n7, 41.015625, -inf\n"));
    std::vector<LoadedMemory> loaded;
    MemoryKind kind = MemoryKind::Rta;
    ASSERT_EQ(parseMemoryFile(text, loaded, &kind), "");
    EXPECT_EQ(kind, MemoryKind::Fft);
    ASSERT_EQ(loaded.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const SpectrumRec& got = *loaded[i].rec;
        const SpectrumRec& want = fft[spectra[i].memory];
        EXPECT_EQ(loaded[i].memory, spectra[i].memory);
        EXPECT_EQ(got.fft.length, want.fft.length);
        EXPECT_EQ(got.fft.sampleRate, want.fft.sampleRate);
        EXPECT_EQ(got.fft.power, want.fft.power) << "every bin exactly";
        EXPECT_EQ(got.comment, want.comment);
        EXPECT_EQ(got.Color, want.Color);
        EXPECT_EQ(got.stored, want.stored);
        EXPECT_EQ(got.windowType, kWelchWindow);
        EXPECT_EQ(got.averaging, want.averaging);
        EXPECT_EQ(got.description, want.description);
        EXPECT_EQ(got.droppedBlocks, want.droppedBlocks);
    }
    // Read and written again, the text is the same.
    SlotTable& again = fft;
    for (LoadedMemory& m : loaded)
        again[m.memory] = *m.rec;
    EXPECT_EQ(memoryFileText(MemoryKind::Fft, again, both), text);

    // Bands are no bins: each kind's first line says which it is, and the
    // lines of the one are refused under the other's first line.
    fill(gTable[2], 2);
    const int two[] = {2};
    const QByteArray bands = memoryFileText(MemoryKind::Rta, gTable, two);
    ASSERT_EQ(parseMemoryFile(bands, loaded, &kind), "");
    EXPECT_EQ(kind, MemoryKind::Rta);
    EXPECT_EQ(loaded[0].rec->fft.length, 0);
    QByteArray bandsAsFft = bands;
    bandsAsFft.replace("Spectrion spectra 1", "Spectrion FFT spectra 1");
    QByteArray fftAsBands = text;
    fftAsBands.replace("Spectrion FFT spectra 1", "Spectrion spectra 1");
    QByteArray badLength = text;
    badLength.replace("length: 8192", "length: 8000");
    QByteArray wrongFrequency = text;
    wrongFrequency.replace("\n7, 41.015625,", "\n7, 41,");
    QByteArray nanLevel = text;
    nanLevel.replace("\n7, 41.015625, -inf", "\n7, 41.015625, nan");
    QByteArray hugeLevel = text;
    hugeLevel.replace("\n7, 41.015625, -inf", "\n7, 41.015625, 1e9");
    QByteArray missingBin = text;
    missingBin.remove(missingBin.indexOf("\n7, 41.015625"), 19);
    QByteArray bandWindow = text;
    bandWindow.replace("window: Welch", "window: Hann");
    for (const QByteArray& bad : {bandsAsFft, fftAsBands, badLength, wrongFrequency, nanLevel,
                                  hugeLevel, missingBin, bandWindow}) {
        std::vector<LoadedMemory> out;
        EXPECT_FALSE(parseMemoryFile(bad, out).isEmpty()) << bad.left(80).toStdString();
        EXPECT_TRUE(out.empty());
    }
    EXPECT_EQ(memoryFileName("raum", MemoryKind::Fft), "raum.fft.txt");
    EXPECT_EQ(memoryFileName("raum.spk", MemoryKind::Fft), "raum.spk");
}

TEST(SpectrumExport, LinesCarryBordersAndLevelsWithDots)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SpectrumRec& rec = gTable[0];
    fill(rec, 0);
    rec.f[1] = 21.2;
    rec.levels[1] = 12.5;
    const QByteArray text = spectrumExportText("/tmp/a.txt", rec);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), 2 + 32 + 1 + 1); // the last split is after the final CR LF
    EXPECT_EQ(lines[0], "Spectrum from Spectrion\r");
    EXPECT_EQ(lines[1], "/tmp/a.txt\r");
    // Numbers only: entry 0 and a band without power leave the level empty.
    EXPECT_EQ(lines[2], "17,\r");
    EXPECT_EQ(lines[3], "21.2, 12.5\r");
    ASSERT_TRUE(lines[7].endsWith(",\r"));
    EXPECT_EQ(lines[7].chopped(2).toDouble(), rec.f[5]) << "the border, exactly";
    EXPECT_EQ(lines[34], "dropped blocks, 0\r");
    EXPECT_TRUE(lines.back().isEmpty());
    QLocale::setDefault(QLocale::c());

    EXPECT_EQ(exportFileName("spectrum.txt"), "spectrum.txt");
    EXPECT_EQ(exportFileName("spectrum.TXT"), "spectrum.TXT");
    EXPECT_EQ(exportFileName("spectrum"), "spectrum.txt");
    EXPECT_EQ(exportFileName("spectrum.txt.bak"), "spectrum.txt.bak.txt");
}

TEST(SpectrumExport, AFailedWriteNamesTheFileAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    fill(gTable[0], 0);
    // A folder cannot be replaced by a file, even for root.
    const QString target = dir.filePath("taken");
    ASSERT_TRUE(QDir().mkdir(target));
    const QString error = writeSpectrumExport(target, gTable[0]);
    EXPECT_TRUE(error.contains(target)) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

    const QString good = dir.filePath("ok.txt");
    ASSERT_EQ(writeSpectrumExport(good, gTable[0]), "");
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("Spectrum from Spectrion\r\n" + good.toUtf8() + "\r\n"));
}
