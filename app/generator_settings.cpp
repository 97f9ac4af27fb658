#include "generator_settings.h"

#include "settings/registry.h"

namespace app {
namespace {

using Kind = capture::TestSignalParams::Kind;

const QString kSubkey = QStringLiteral("\\Generator");

bool within(double v, double lo, double hi)
{
    return v >= lo && v <= hi;
}

bool frequencyOk(double f)
{
    return within(f, GeneratorSettings::kMinFrequency, GeneratorSettings::kMaxFrequency);
}

// A number kept as text (the store holds integers and strings), read back
// only when it lies within its limits.
void readNumber(const settings::Registry& r, const QString& name, double lo, double hi,
                double& value)
{
    if (!r.valueExists(name))
        return;
    try {
        bool ok = false;
        const double v = r.readString(name).toDouble(&ok);
        if (ok && within(v, lo, hi))
            value = v;
    } catch (const settings::ReadError&) {
    }
}

} // namespace

capture::TestSignalParams GeneratorSettings::params() const
{
    capture::TestSignalParams p;
    p.levelDb = levelDb;
    switch (signal) {
    case Signal::Pink:
        p.kind = Kind::Pink;
        break;
    case Signal::White:
        p.kind = Kind::White;
        break;
    case Signal::Sine:
        p.kind = Kind::Sine;
        p.frequency = frequency;
        break;
    case Signal::Sweep:
        p.kind = Kind::Sweep;
        p.frequency = sweepStart;
        p.frequency2 = sweepEnd;
        p.seconds = sweepSeconds;
        break;
    }
    return p;
}

std::optional<GeneratorSettings> GeneratorSettings::fromParams(const capture::TestSignalParams& p,
                                                               QString& error)
{
    GeneratorSettings s;
    s.levelDb = p.levelDb;
    if (!within(p.levelDb, kMinLevelDb, kMaxLevelDb)) {
        error =
            QString("the level must lie between %1 and %2 dBFS").arg(kMinLevelDb).arg(kMaxLevelDb);
        return std::nullopt;
    }
    const QString range =
        QString("frequencies must lie between %1 and %2 Hz").arg(kMinFrequency).arg(kMaxFrequency);
    switch (p.kind) {
    case Kind::Pink:
        s.signal = Signal::Pink;
        return s;
    case Kind::White:
        s.signal = Signal::White;
        return s;
    case Kind::Sine:
        if (!frequencyOk(p.frequency)) {
            error = range;
            return std::nullopt;
        }
        s.signal = Signal::Sine;
        s.frequency = p.frequency;
        return s;
    case Kind::Sweep:
        if (!frequencyOk(p.frequency) || !frequencyOk(p.frequency2)) {
            error = range;
            return std::nullopt;
        }
        if (!within(p.seconds, kMinSeconds, kMaxSeconds)) {
            error = QString("the sweep must last between %1 and %2 s")
                        .arg(kMinSeconds)
                        .arg(kMaxSeconds);
            return std::nullopt;
        }
        s.signal = Signal::Sweep;
        s.sweepStart = p.frequency;
        s.sweepEnd = p.frequency2;
        s.sweepSeconds = p.seconds;
        return s;
    case Kind::Silence:
        break;
    }
    error = "the generator plays pink, white, sine or sweep";
    return std::nullopt;
}

GeneratorSettings loadGeneratorSettings(const settings::StoreKey& programKey)
{
    GeneratorSettings s;
    settings::Registry r(programKey.fileName);
    r.setRootKey(programKey.root);
    if (!r.openKey(programKey.path + kSubkey, false))
        return s;
    try {
        if (r.valueExists("OutputDevice"))
            s.outputDevice = r.readString("OutputDevice");
    } catch (const settings::ReadError&) {
    }
    try {
        if (r.valueExists("Signal")) {
            const int v = r.readInteger("Signal");
            if (within(v, 0, 3))
                s.signal = static_cast<GeneratorSettings::Signal>(v);
        }
    } catch (const settings::ReadError&) {
    }
    using G = GeneratorSettings;
    readNumber(r, "Frequency", G::kMinFrequency, G::kMaxFrequency, s.frequency);
    readNumber(r, "SweepStart", G::kMinFrequency, G::kMaxFrequency, s.sweepStart);
    readNumber(r, "SweepEnd", G::kMinFrequency, G::kMaxFrequency, s.sweepEnd);
    readNumber(r, "SweepSeconds", G::kMinSeconds, G::kMaxSeconds, s.sweepSeconds);
    readNumber(r, "Level", G::kMinLevelDb, G::kMaxLevelDb, s.levelDb);
    return s;
}

bool saveGeneratorSettings(const settings::StoreKey& programKey, const GeneratorSettings& s,
                           QString& error)
{
    settings::Registry r(programKey.fileName);
    r.setRootKey(programKey.root);
    if (!r.openKey(programKey.path + kSubkey, true)) {
        error = r.errorString();
        return false;
    }
    const auto number = [](double v) { return QString::number(v, 'g', 10); };
    r.writeString("OutputDevice", s.outputDevice);
    r.writeInteger("Signal", static_cast<int>(s.signal));
    r.writeString("Frequency", number(s.frequency));
    r.writeString("SweepStart", number(s.sweepStart));
    r.writeString("SweepEnd", number(s.sweepEnd));
    r.writeString("SweepSeconds", number(s.sweepSeconds));
    r.writeString("Level", number(s.levelDb));
    if (r.closeKey())
        return true;
    error = r.errorString();
    return false;
}

} // namespace app
