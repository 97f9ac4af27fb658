#include "csv_export.h"

#include "export_number.h"

#include "engine/band_plan.h"
#include "settings/atomic_file.h"

#include <QFileInfo>

#include <algorithm>

namespace memories {
namespace {

QByteArray quoted(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    utf8.replace('"', "\"\"");
    return '"' + utf8 + '"';
}

int entriesOf(const SpectrumRec& rec)
{
    return std::clamp(rec.bands, 0, engine::kBinArraySize);
}

// Rows side by side need the same bands; levels of two stated references
// (dBFS and dB SPL, say) are no columns of one table either.
bool fitsBeside(const SpectrumRec& a, const SpectrumRec& b)
{
    if (entriesOf(a) != entriesOf(b))
        return false;
    if (!a.description.isEmpty() && !b.description.isEmpty() && a.description != b.description)
        return false;
    return std::equal(a.f.begin(), a.f.begin() + entriesOf(a), b.f.begin());
}

} // namespace

QString csvFileName(const QString& chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + ".csv" : chosen;
}

QByteArray csvExportText(const CsvLayout& layout, const std::vector<CsvCurve>& curves)
{
    std::vector<const CsvCurve*> columns;
    QStringList leftOut;
    for (const CsvCurve& c : curves) {
        if (columns.empty() || fitsBeside(*columns.front()->rec, *c.rec))
            columns.push_back(&c);
        else
            leftOut << c.title;
    }

    QByteArray out = "\xEF\xBB\xBF";
    for (const auto& [label, value] : layout.header)
        out += quoted(label) + "," + quoted(value) + "\r\n";
    if (!leftOut.isEmpty())
        out += quoted(layout.leftOutLabel) + "," + quoted(leftOut.join(", ")) + "\r\n";
    out += "\r\n";

    QByteArrayList titles;
    for (const QString& t : layout.bandTitles)
        titles << quoted(t);
    for (const CsvCurve* c : columns)
        titles << quoted(c->title);
    out += titles.join(',') + "\r\n";
    if (columns.empty())
        return out;

    const SpectrumRec& plan = *columns.front()->rec;
    for (int j = 1; j < entriesOf(plan); ++j) {
        const double lower = plan.f[j - 1];
        const double upper = plan.f[j];
        out += exportNumber(engine::nominalCentre(lower, upper)) + "," + exportNumber(lower) + "," +
               exportNumber(upper);
        for (const CsvCurve* c : columns)
            out += "," + exportLevel(*c->rec, j);
        out += "\r\n";
    }
    return out;
}

QString writeCsvExport(const QString& path, const CsvLayout& layout,
                       const std::vector<CsvCurve>& curves)
{
    const QString error = settings::writeFileAtomically(path, csvExportText(layout, curves));
    if (error.isEmpty())
        return {};
    return QString("Die Datei \"%1\" konnte nicht geschrieben werden: %2").arg(path, error);
}

} // namespace memories
