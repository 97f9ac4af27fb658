#include "spectrum_export.h"

#include "export_number.h"

#include "settings/atomic_file.h"

#include <QFileInfo>

#include <algorithm>

namespace memories {
QString exportFileName(const QString& chosen)
{
    return chosen.endsWith(".txt", Qt::CaseInsensitive) ? chosen : chosen + ".txt";
}

QByteArray spectrumExportText(const QString& fullPath, const SpectrumRec& rec)
{
    QByteArray out = "Spectrum from Spectrion\r\n" + fullPath.toUtf8() + "\r\n";
    if (!rec.description.isEmpty()) {
        QByteArray description = rec.description.toUtf8();
        description.replace('\n', ' ').replace('\r', ' ');
        out += description + "\r\n";
    }
    const int entries = std::clamp(rec.bands, 0, engine::kBinArraySize);
    for (int j = 0; j < entries; ++j) {
        const QByteArray level = j == 0 ? QByteArray() : exportLevel(rec, j);
        out += exportNumber(rec.f[j]) + (level.isEmpty() ? "," : ", " + level) + "\r\n";
    }
    if (rec.droppedBlocks >= 0)
        out += "dropped blocks, " + QByteArray::number(rec.droppedBlocks) + "\r\n";
    return out;
}

QString writeSpectrumExport(const QString& path, const SpectrumRec& rec)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    const QString error = settings::writeFileAtomically(full, spectrumExportText(full, rec));
    if (error.isEmpty())
        return {};
    return QString("Die Datei \"%1\" konnte nicht geschrieben werden: %2").arg(full, error);
}

} // namespace memories
