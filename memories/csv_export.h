#pragma once
// The spreadsheet export: the live curve and the shown memories side by side.
// A header block of quoted "label","value" lines describing the measurement,
// an empty line, a title row, then one row per band: nominal centre, lower
// and upper border in Hz and one level column per curve. Comma-separated,
// dot decimal point, texts quoted (inner quotes doubled), UTF-8 with a byte
// order mark, lines ended by CR LF, so a spreadsheet opens the numbers as
// numbers in any locale. A level that does not exist (no FFT bin in the band,
// no power, not measured) is an empty field. UI thread only.

#include "spectrum_rec.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace memories {

// One level column: its title and the slot it comes from (not owned).
struct CsvCurve {
    QString title;
    const SpectrumRec* rec = nullptr;
};

struct CsvLayout {
    // What describes the measurement, in order (unit, reference, window ...).
    std::vector<std::pair<QString, QString>> header;
    // Titles of the three band columns: centre, lower border, upper border.
    std::array<QString, 3> bandTitles;
    // The header line for curves left out because their band plan or their
    // levels' description differs from the first curve's; its value lists
    // their titles.
    QString leftOutLabel;
};

// The name the export is written to: `chosen`, with ".csv" appended when it
// has no suffix.
QString csvFileName(const QString& chosen);

// The text of the export. The rows follow the band plan of the first curve;
// a curve of another plan, or of another stated reference (description), is
// left out and named on the leftOutLabel line.
QByteArray csvExportText(const CsvLayout& layout, const std::vector<CsvCurve>& curves);

// Writes it atomically. Returns an empty string or a German message naming the file.
QString writeCsvExport(const QString& path, const CsvLayout& layout,
                       const std::vector<CsvCurve>& curves);

} // namespace memories
