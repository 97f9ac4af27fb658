// The exports read back as a spreadsheet reads them: every field a number or
// empty, whatever the locale; and the power maths of stored curves.

#include "memories/csv_export.h"
#include "memories/slot_tables.h"
#include "memories/spectrum_export.h"

#include "engine/power_maths.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

using namespace memories;

namespace {

SlotTable gSlots; // static, as in the program

using Row = std::vector<QString>;

// A strict reader of comma-separated text as spreadsheets read it: fields
// quoted with doubled inner quotes or bare, records ended by CR LF.
std::optional<std::vector<Row>> readCsv(const QByteArray& bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return std::nullopt;
    const QString text = QString::fromUtf8(bytes.mid(3));
    std::vector<Row> rows;
    Row row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"' && field.isEmpty()) {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field), field.clear();
        } else if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n')
                return std::nullopt;
            ++i;
            row.push_back(field), field.clear();
            rows.push_back(row), row.clear();
        } else if (c == '\n' || c == '"') {
            return std::nullopt;
        } else {
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !row.empty())
        return std::nullopt;
    return rows;
}

// A field as a spreadsheet takes it in any locale: a plain C number or nothing.
std::optional<double> number(const QString& field)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(field, &ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

void third(SpectrumRec& rec, double level)
{
    rec.bands = 32;
    for (int j = 0; j < 32; ++j) {
        rec.f[j] = 17.0 * std::pow(2.0, j / 3.0);
        rec.levels[j] = j == 0 ? std::nan("") : level + j;
    }
    rec.HasData = true;
}

} // namespace

TEST(Exports, TheCsvReadsBackAsNumbersSideBySideWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    third(gSlots[0], 40.5);
    third(gSlots[1], 30);
    gSlots[1].levels[7] = -std::numeric_limits<double>::infinity(); // no power
    gSlots[1].levels[9] = std::nan("");                             // not measured
    gSlots[2].bands = 12;                                           // another plan
    for (int j = 0; j < 12; ++j)
        gSlots[2].f[j] = 17.0 * std::pow(2.0, j);

    CsvLayout layout;
    layout.header = {{"Einheit", "dB"}, {"Fenster", "Hann \"weich\", breit"}};
    layout.bandTitles = {"Mitte [Hz]", "Untere Grenze [Hz]", "Obere Grenze [Hz]"};
    layout.leftOutLabel = "Nicht aufgenommen";
    const std::vector<CsvCurve> curves = {{"Aktuelle Messung", &gSlots[0]},
                                          {"Küche, hinten", &gSlots[1]},
                                          {"Oktave", &gSlots[2]},
                                          {"SPL", &gSlots[4]}};

    QTemporaryDir dir;
    const QString path = csvFileName(dir.filePath("mess"));
    EXPECT_TRUE(path.endsWith("mess.csv"));
    ASSERT_EQ(writeCsvExport(path, layout, curves), "");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto rows = readCsv(f.readAll());
    ASSERT_TRUE(rows) << "not well-formed";
    ASSERT_EQ(rows->size(), 3u + 1 + 1 + 31);
    EXPECT_EQ((*rows)[1], Row({"Fenster", "Hann \"weich\", breit"}));
    EXPECT_EQ((*rows)[2], Row({"Nicht aufgenommen", "Oktave, SPL"}));
    EXPECT_EQ((*rows)[3], Row{""});
    EXPECT_EQ((*rows)[4], Row({"Mitte [Hz]", "Untere Grenze [Hz]", "Obere Grenze [Hz]",
                               "Aktuelle Messung", "Küche, hinten"}));
    for (int j = 1; j < 32; ++j) {
        SCOPED_TRACE(j);
        const Row& r = (*rows)[static_cast<std::size_t>(4 + j)];
        ASSERT_EQ(r.size(), 5u);
        const auto centre = number(r[0]), lower = number(r[1]), upper = number(r[2]);
        ASSERT_TRUE(centre && lower && upper);
        EXPECT_EQ(*lower, gSlots[0].f[j - 1]);
        EXPECT_EQ(*upper, gSlots[0].f[j]);
        EXPECT_GT(*centre, *lower);
        EXPECT_LT(*centre, *upper);
        EXPECT_EQ(number(r[3]), gSlots[0].levels[j]);
        if (j == 7 || j == 9)
            EXPECT_EQ(r[4], "") << "no level: an empty field";
        else
            EXPECT_EQ(number(r[4]), gSlots[1].levels[j]);
    }
    // Band 18 of this plan (864 .. 1088 Hz) is nominally the 975 Hz band.
    EXPECT_EQ((*rows)[4 + 18][0], "975");

    // The text export: two lines, then "border, level" with numbers only;
    // entry 0 and the bands that hold no FFT bin have no level.
    SpectrumRec& fine = gSlots[3];
    fine.bands = 122;
    for (int j = 0; j < 122; ++j) {
        fine.f[j] = 17.0 * std::pow(2.0, j / 12.0);
        fine.levels[j] = j == 0 ? std::nan("") : 50.0 + j * 0.25;
    }
    ASSERT_EQ(writeSpectrumExport(dir.filePath("fein.txt"), fine), "");
    QFile t(dir.filePath("fein.txt"));
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = t.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2 + 122 + 1);
    EXPECT_EQ(lines[0], "Spectrum from Spectrion\r");
    int empty = 0;
    for (int j = 0; j < 122; ++j) {
        SCOPED_TRACE(j);
        const QList<QByteArray> cells = lines[2 + j].chopped(1).split(',');
        ASSERT_EQ(cells.size(), 2);
        EXPECT_EQ(number(QString(cells[0])), fine.f[j]);
        if (cells[1].isEmpty()) {
            ++empty;
            // Narrower than the bin spacing (5.86 Hz), at the bottom of the plan.
            EXPECT_LT(fine.f[j], 120.0);
        } else {
            EXPECT_EQ(number(QString(cells[1]).trimmed()), fine.levels[j]);
        }
    }
    EXPECT_GT(empty, 5);
    EXPECT_TRUE(lines[2].endsWith(",\r")) << "entry 0";
    QLocale::setDefault(QLocale::c());
}

TEST(PowerMaths, SumDifferenceAndAverageOnBandPowers)
{
    engine::BinArray a{}, b{}, c{}, out{};
    a[1] = 60, b[1] = 60, c[1] = 50;                            // 1e6, 1e6, 1e5
    a[2] = 80, b[2] = -std::numeric_limits<double>::infinity(); // no power in b
    c[2] = 70;
    a[3] = 70, b[3] = std::nan(""), c[3] = 70; // b not measured here
    const engine::BinArray* all[] = {&a, &b, &c};
    const auto near = [](double got, double powerSum) {
        EXPECT_NEAR(got, 10 * std::log10(powerSum), 1e-9);
    };

    engine::combineLevels(engine::PowerOperation::Sum, all, 4, out);
    EXPECT_TRUE(std::isnan(out[0]));
    near(out[1], 2.1e6);
    near(out[2], 1.1e8);
    EXPECT_TRUE(std::isnan(out[3])) << "a band a source lacks";
    EXPECT_TRUE(std::isnan(out[4])) << "beyond the plan";

    engine::combineLevels(engine::PowerOperation::Average, all, 4, out);
    near(out[1], 2.1e6 / 3);
    near(out[2], 1.1e8 / 3);

    engine::combineLevels(engine::PowerOperation::Difference, all, 4, out);
    EXPECT_EQ(out[1], -std::numeric_limits<double>::infinity()) << "nothing left";
    near(out[2], 9e7); // what a holds beyond b and c
    const engine::BinArray* two[] = {&a, &c};
    engine::combineLevels(engine::PowerOperation::Difference, two, 2, out);
    near(out[1], 9e5);
}
