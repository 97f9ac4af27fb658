#include "calibrated_levels.h"

#include "string_table.h"

#include "engine/types.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>

namespace app {

void CalibratedLevels::apply(const settings::LevelSettings& levels,
                             const engine::MicCorrection& correction, double sampleRate)
{
    const bool newWeighting = levels.weighting != model.weighting;
    model.reference = levels.reference;
    model.calibrationOffsetDb = levels.calibrationOffsetDb;
    model.weighting = levels.weighting;
    model.correction = correction;
    rtaCurve = levels.rtaCurve;
    correctionName = levels.micCorrectionFile.isEmpty()
                         ? QString()
                         : QFileInfo(levels.micCorrectionFile).fileName();
    binFactors.resize(engine::kBlockSamples / 2 + 1);
    model.binPowerFactors(engine::kBlockSamples, sampleRate, binFactors);
    if (newWeighting || meter.weighting() != levels.weighting) {
        meter.configure(levels.weighting, sampleRate);
        rtaStatistics.reset();
    }
}

std::span<const float> CalibratedLevels::factors() const
{
    if (model.neutral())
        return {};
    return binFactors;
}

QString readMicCorrectionFile(const QString& path, engine::MicCorrection& out)
{
    QFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadStr(sCorrectionUnreadable).arg(shown, file.errorString());
    const QByteArray text = file.readAll();
    engine::MicCorrectionError error;
    auto parsed =
        engine::parseMicCorrection(std::string_view(text.constData(), text.size()), error);
    if (!parsed) {
        if (error.line == 0)
            return LoadStr(sCorrectionEmpty).arg(shown);
        return LoadStr(sCorrectionBadLine)
            .arg(QString::number(error.line), shown, QString::fromStdString(error.text));
    }
    out = std::move(*parsed);
    return {};
}

QString levelUnitText(const engine::CalibrationModel& model)
{
    const engine::LevelReference ref = model.effectiveReference();
    const QString w = engine::weightingLetter(model.weighting);
    const bool weighted = model.weighting != engine::Weighting::Z;
    switch (ref) {
    case engine::LevelReference::Spl:
        return LoadStr(sReferenceSpl) + (weighted ? " (" + w + ")" : QString());
    case engine::LevelReference::Raw:
        return weighted ? QString("dB (%1, %2)").arg(LoadStr(sReferenceRaw).mid(4).chopped(1), w)
                        : LoadStr(sReferenceRaw);
    case engine::LevelReference::Dbfs:
        break;
    }
    return LoadStr(sReferenceDbfs) + (weighted ? " (" + w + ")" : QString());
}

QString levelDescription(const engine::CalibrationModel& model, const settings::LevelSettings& s,
                         const QString& correctionName, bool withCurve)
{
    QString out = LoadStr(sReference) + ": " + levelUnitText(model);
    out += "; " + LoadStr(sWeighting) + ": " + engine::weightingLetter(model.weighting);
    if (s.calibrationOffsetDb)
        out += "; " + LoadStr(sCalibratedAt)
                          .arg(QString::number(*s.calibrationOffsetDb, 'f', 2), s.calibrationDate);
    if (!correctionName.isEmpty())
        out += "; " + LoadStr(sMicCorrectionMenu).remove(" …") + ": " + correctionName;
    static const StringId curves[] = {sCurveNow, sCurveLeq, sCurveMax};
    if (withCurve)
        out += "; " + LoadStr(sRtaCurve) + ": " + LoadStr(curves[int(s.rtaCurve)]);
    return out;
}

engine::LevelBasis levelBasisOfDescription(const QString& description, int windowType)
{
    using engine::LevelReference;
    const QStringList parts = description.split("; ", Qt::SkipEmptyParts);
    const QString referencePrefix = LoadStr(sReference) + ": ";
    std::optional<LevelReference> reference;
    if (parts.isEmpty()) {
        reference = LevelReference::Raw;
    } else if (parts.front().startsWith(referencePrefix)) {
        // "dB (Rohwert, A)" and "dBFS (A)": the name comes first, the weighting after it.
        const QString unit = parts.front().mid(referencePrefix.size());
        for (const LevelReference r :
             {LevelReference::Spl, LevelReference::Raw, LevelReference::Dbfs}) {
            const QString name = referenceName(r);
            if (unit == name || unit.startsWith(name + " (") ||
                (r == LevelReference::Raw && unit.startsWith(name.chopped(1) + ", ")))
                reference = r;
        }
    }
    engine::LevelBasis basis{reference, std::nullopt};
    if (!reference)
        return basis;
    switch (*reference) {
    case LevelReference::Dbfs:
        basis.offsetDb = 0.0;
        break;
    case LevelReference::Raw:
        basis.offsetDb = engine::rtaRawMinusDbfsOfWindow(windowType);
        break;
    case LevelReference::Spl: {
        // "Kalibriert: 94.00 dB (date)"
        const QString calibrated = LoadStr(sCalibratedAt);
        const QString prefix = calibrated.left(calibrated.indexOf("%1"));
        for (const QString& part : parts) {
            if (!part.startsWith(prefix))
                continue;
            const QString rest = part.mid(prefix.size());
            bool ok = false;
            const double offset = rest.left(rest.indexOf(' ')).toDouble(&ok);
            if (ok && std::isfinite(offset))
                basis.offsetDb = offset;
        }
        break;
    }
    }
    return basis;
}

QString referenceName(engine::LevelReference reference)
{
    switch (reference) {
    case engine::LevelReference::Spl:
        return LoadStr(sReferenceSpl);
    case engine::LevelReference::Raw:
        return LoadStr(sReferenceRaw);
    case engine::LevelReference::Dbfs:
        break;
    }
    return LoadStr(sReferenceDbfs);
}

QString calibrationResultText(const engine::CalibrationResult& r, double calibratorDb,
                              double calibratorHz)
{
    using S = engine::CalibrationResult::Status;
    switch (r.status) {
    case S::Measuring:
        return LoadStr(sMeasuring);
    case S::Silent:
        return LoadStr(sCalSilent);
    case S::Wandering:
        return LoadStr(sCalWandering)
            .arg(QString::number(r.spreadDb, 'f', 2),
                 QString::number(engine::kCalibrationMaxSpreadDb, 'f', 1));
    case S::NotATone:
        return LoadStr(sCalNotATone)
            .arg(QString::number(calibratorHz, 'g', 6), QString::number(100 * r.share, 'f', 0),
                 QString::number(100 * engine::kCalibrationMinShare, 'f', 0),
                 QString::number(r.peakHz, 'f', 0));
    case S::Done:
        break;
    }
    return LoadStr(sCalDone).arg(
        QString::number(calibratorDb, 'f', 1), QString::number(calibratorHz, 'g', 6),
        QString::number(r.levelDbfs, 'f', 2), QString::number(r.offsetDb, 'f', 2));
}

} // namespace app
