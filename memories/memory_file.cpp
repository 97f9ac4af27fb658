#include "memory_file.h"

#include "engine/fft_analysis.h"
#include "settings/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>

namespace memories {
namespace {

constexpr char kMagic[] = "Spectrion spectra 1";
constexpr char kFftMagic[] = "Spectrion FFT spectra 1";
constexpr char kColumns[] = "entry, border_Hz, level_dB, row, x, y";
constexpr char kFftColumns[] = "bin, frequency_Hz, level_dBFS";
// Eight FFT memories of 32768 bins take about 11 MB; anything far larger is not ours.
constexpr qint64 kMaxFileSize = 64 << 20;
// Sample rates a file may state, in Hz.
constexpr int kMaxSampleRate = 1'000'000;

QByteArray number(double v)
{
    char buf[32];
    const auto r = std::to_chars(std::begin(buf), std::end(buf), v);
    return QByteArray(buf, static_cast<int>(r.ptr - buf));
}

std::optional<double> toDouble(QByteArrayView s)
{
    s = s.trimmed();
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || s.isEmpty())
        return std::nullopt;
    return v;
}

std::optional<std::int32_t> toInt(QByteArrayView s, int base = 10)
{
    s = s.trimmed();
    if (base == 16 && (s.startsWith("0x") || s.startsWith("0X")))
        s = s.sliced(2);
    std::int64_t v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || s.isEmpty())
        return std::nullopt;
    if (base == 16 ? (v < 0 || v > 0xFFFFFFFFLL)
                   : (v < std::numeric_limits<std::int32_t>::min() ||
                      v > std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

QByteArray windowName(int item)
{
    return item >= 0 && item < static_cast<int>(std::size(kWindowNames)) ? kWindowNames[item]
                                                                         : "unknown";
}

QByteArray averagingText(int item)
{
    if (item == kInfiniteAveraging)
        return "infinite";
    return item >= 0 && item < static_cast<int>(std::size(kAveragingFactors))
               ? number(kAveragingFactors[item])
               : "unknown";
}

// The text of a line without breaks in it.
QByteArray oneLine(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    utf8.replace('\n', ' ').replace('\r', ' ');
    return utf8;
}

// Reads the lines of one file, field by field; the first failure stops it.
class Reader {
public:
    explicit Reader(const QByteArray& text)
    {
        for (QByteArray line : text.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            lines_.append(line);
        }
        while (!lines_.isEmpty() && lines_.back().trimmed().isEmpty())
            lines_.removeLast();
    }

    bool atEnd() const { return next_ >= lines_.size(); }
    const QString& error() const { return error_; }

    // The text after "key: " of the next line.
    std::optional<QByteArray> field(const char* key)
    {
        const QByteArray prefix = QByteArray(key) + ":";
        const std::optional<QByteArray> line = take();
        if (!line || !line->startsWith(prefix))
            return fail(QString("erwartet: \"%1\"").arg(QString::fromLatin1(prefix)));
        QByteArray value = line->mid(prefix.size());
        if (value.startsWith(' '))
            value.remove(0, 1);
        return value;
    }

    // The text after "key: " of the next line when it has that key; nothing, reading nothing,
    // when it has another.
    std::optional<QByteArray> optionalField(const char* key)
    {
        if (atEnd() || !lines_[next_].startsWith(QByteArray(key) + ":"))
            return std::nullopt;
        return field(key);
    }

    bool exactly(const char* text)
    {
        const std::optional<QByteArray> line = take();
        if (!line || *line != text) {
            fail(QString("erwartet: \"%1\"").arg(QString::fromLatin1(text)));
            return false;
        }
        return true;
    }

    std::optional<QByteArray> take()
    {
        if (atEnd())
            return std::nullopt;
        return lines_[next_++];
    }

    std::nullopt_t fail(const QString& what)
    {
        if (error_.isEmpty())
            error_ = QString("Zeile %1: %2").arg(next_).arg(what);
        return std::nullopt;
    }

private:
    QList<QByteArray> lines_;
    qsizetype next_ = 0;
    QString error_;
};

// The lines every memory has, from "memory" to "levels", into rec; false
// (with the reader's error) on anything else.
bool readHeader(Reader& in, MemoryKind kind, int& memory, SpectrumRec& rec)
{
    const auto memoryText = in.field("memory");
    const auto n = memoryText ? toInt(*memoryText) : std::nullopt;
    if (!n || *n < 0 || *n >= kSlots)
        return in.fail("die Speichernummer muss 0 bis 8 sein"), false;
    memory = *n;

    const auto comment = in.field("comment");
    const auto colourText = comment ? in.field("color") : std::nullopt;
    const auto colour = colourText ? toInt(*colourText, 16) : std::nullopt;
    if (!colour)
        return in.fail("keine Farbe"), false;
    const auto storedText = in.field("stored");
    if (!storedText)
        return false;
    const QDateTime stored = QDateTime::fromString(QString::fromLatin1(*storedText), Qt::ISODate);
    if (!storedText->isEmpty() && !stored.isValid())
        return in.fail("kein Datum"), false;

    const auto window = in.field("window");
    if (!window)
        return false;
    // The octave bands have the settings' windows, the FFT page only Welch.
    const int windows = kind == MemoryKind::Fft ? kWelchWindow + 1 : kWelchWindow;
    int windowType = -1;
    for (int i = kind == MemoryKind::Fft ? kWelchWindow : 0; i < windows; ++i)
        if (*window == kWindowNames[i])
            windowType = i;
    if (windowType < 0 && *window != "unknown")
        return in.fail("unbekanntes Fenster"), false;

    const auto averagingField = in.field("averaging");
    if (!averagingField)
        return false;
    int averaging = -1;
    if (kind == MemoryKind::Fft && *averagingField == "infinite") {
        averaging = kInfiniteAveraging;
    } else if (*averagingField != "unknown") {
        const auto factor = toDouble(*averagingField);
        for (int i = 0; factor && i < static_cast<int>(std::size(kAveragingFactors)); ++i)
            if (static_cast<float>(*factor) == kAveragingFactors[i])
                averaging = i;
        if (averaging < 0)
            return in.fail("unbekannte Mittelung"), false;
    }

    // Written since files carry it; older files have none.
    std::int64_t dropped = -1;
    if (const auto droppedText = in.optionalField("dropped")) {
        bool ok = false;
        dropped = droppedText->toLongLong(&ok);
        if (!ok || dropped < 0)
            return in.fail("ungültige Zahl verlorener Blöcke"), false;
    }
    // Written since levels carry a reference: absent in older files.
    if (const auto levels = in.optionalField("levels"))
        rec.description = QString::fromUtf8(*levels);

    rec.comment = QString::fromUtf8(*comment);
    rec.Color = static_cast<engine::TColor>(static_cast<std::uint32_t>(*colour));
    rec.stored = stored;
    rec.windowType = windowType;
    rec.averaging = averaging;
    rec.droppedBlocks = dropped;
    return true;
}

// The band-plan entries of an octave-band memory, to its "end".
bool readBands(Reader& in, SpectrumRec& rec)
{
    const auto entriesText = in.field("entries");
    const auto entries = entriesText ? toInt(*entriesText) : std::nullopt;
    if (!entries || *entries < 1 || *entries > engine::kBinArraySize)
        return in.fail("die Zahl der Einträge muss 1 bis 265 sein"), false;
    if (!in.exactly(kColumns))
        return false;

    for (int j = 0; j < *entries; ++j) {
        const auto line = in.take();
        const QList<QByteArray> cells = line ? line->split(',') : QList<QByteArray>{};
        if (cells.size() != 6)
            return in.fail("eine Zeile mit sechs Werten erwartet"), false;
        const auto entry = toInt(cells[0]);
        const auto border = toDouble(cells[1]);
        const auto level = toDouble(cells[2]);
        const auto row = toDouble(cells[3]);
        const auto x = toInt(cells[4]);
        const auto y = toInt(cells[5]);
        if (!entry || *entry != j || !border || !std::isfinite(*border) || !level || !row ||
            !std::isfinite(*row) || !x || !y)
            return in.fail(QString("Eintrag %1 ist ungültig").arg(j)), false;
        rec.f[j] = *border;
        rec.levels[j] = *level;
        rec.l[j] = *row;
        rec.coordinates[0][j] = *x;
        rec.coordinates[1][j] = *y;
    }
    if (!in.exactly("end"))
        return false;
    rec.bands = *entries;
    return true;
}

// The bins of an FFT memory, to its "end".
bool readBins(Reader& in, SpectrumRec& rec)
{
    const auto lengthText = in.field("length");
    const auto length = lengthText ? toInt(*lengthText) : std::nullopt;
    if (!length || !engine::isFftLength(*length))
        return in.fail("die Länge muss 8192, 16384, 32768 oder 65536 sein"), false;
    const auto rateText = in.field("rate");
    const auto rate = rateText ? toInt(*rateText) : std::nullopt;
    if (!rate || *rate < 1 || *rate > kMaxSampleRate)
        return in.fail("die Abtastrate muss 1 bis 1000000 Hz sein"), false;
    if (!in.exactly(kFftColumns))
        return false;

    const int bins = *length / 2;
    const double spacing = static_cast<double>(*rate) / *length;
    rec.fft.power.resize(static_cast<std::size_t>(bins));
    for (int k = 0; k < bins; ++k) {
        const auto line = in.take();
        const QList<QByteArray> cells = line ? line->split(',') : QList<QByteArray>{};
        if (cells.size() != 3)
            return in.fail("eine Zeile mit drei Werten erwartet"), false;
        const auto bin = toInt(cells[0]);
        const auto hz = toDouble(cells[1]);
        const auto level = toDouble(cells[2]);
        // The frequency is written for the reader's eye; it must be the bin's.
        const bool onItsBin = hz && std::fabs(*hz - k * spacing) <= 1e-9 * (1 + k * spacing);
        const double power = level ? engine::fftLevelPower(*level) : 0.0;
        if (!bin || *bin != k || !onItsBin || !level || std::isnan(*level) ||
            !(power <= std::numeric_limits<float>::max()))
            return in.fail(QString("Eintrag %1 ist ungültig").arg(k)), false;
        rec.fft.power[static_cast<std::size_t>(k)] = static_cast<float>(power);
    }
    if (!in.exactly("end"))
        return false;
    rec.fft.length = *length;
    rec.fft.sampleRate = *rate;
    rec.bands = 0;
    return true;
}

// One memory block into rec; false (with the reader's error) on anything else.
bool readMemory(Reader& in, MemoryKind kind, int& memory, SpectrumRec& rec)
{
    if (!readHeader(in, kind, memory, rec))
        return false;
    if (!(kind == MemoryKind::Fft ? readBins(in, rec) : readBands(in, rec)))
        return false;
    rec.HasData = true;
    rec.DrawMe = false;
    return true;
}

QString notOurs(const QString& path, const QString& why)
{
    return QString("Die Datei \"%1\" ist keine Spektrum-Datei von Spectrion (%2).").arg(path, why);
}

} // namespace

QString memoryFileName(const QString& chosen, MemoryKind kind)
{
    if (!QFileInfo(chosen).suffix().isEmpty())
        return chosen;
    return chosen + (kind == MemoryKind::Fft ? ".fft.txt" : ".txt");
}

namespace {

void appendHeader(QByteArray& out, int m, const SpectrumRec& rec)
{
    out += "memory: " + QByteArray::number(m) + "\n";
    out += "comment: " + oneLine(rec.comment) + "\n";
    out += "color: 0x" + QByteArray::number(rec.Color, 16).rightJustified(8, '0').toUpper() + "\n";
    out += "stored: " +
           (rec.stored.isValid() ? rec.stored.toString(Qt::ISODate).toLatin1() : QByteArray()) +
           "\n";
    out += "window: " + windowName(rec.windowType) + "\n";
    out += "averaging: " + averagingText(rec.averaging) + "\n";
    if (rec.droppedBlocks >= 0)
        out += "dropped: " + QByteArray::number(rec.droppedBlocks) + "\n";
    if (!rec.description.isEmpty())
        out += "levels: " + oneLine(rec.description) + "\n";
}

void appendBands(QByteArray& out, const SpectrumRec& rec)
{
    const int entries = std::clamp(rec.bands, 0, engine::kBinArraySize);
    out += "entries: " + QByteArray::number(entries) + "\n";
    out += QByteArray(kColumns) + "\n";
    for (int j = 0; j < entries; ++j)
        out += QByteArray::number(j) + ", " + number(rec.f[j]) + ", " + number(rec.levels[j]) +
               ", " + number(rec.l[j]) + ", " + QByteArray::number(rec.coordinates[0][j]) + ", " +
               QByteArray::number(rec.coordinates[1][j]) + "\n";
}

void appendBins(QByteArray& out, const FftSpectrum& fft)
{
    out += "length: " + QByteArray::number(fft.length) + "\n";
    out += "rate: " + QByteArray::number(fft.sampleRate) + "\n";
    out += QByteArray(kFftColumns) + "\n";
    const double spacing = fft.length > 0 ? static_cast<double>(fft.sampleRate) / fft.length : 0;
    const std::size_t bins = std::min(fft.power.size(), static_cast<std::size_t>(fft.length / 2));
    out.reserve(out.size() + static_cast<qsizetype>(bins) * 40);
    for (std::size_t k = 0; k < bins; ++k)
        out += QByteArray::number(static_cast<qlonglong>(k)) + ", " +
               number(static_cast<double>(k) * spacing) + ", " +
               number(engine::fftPowerLevel(fft.power[k])) + "\n";
}

} // namespace

QByteArray memoryFileText(MemoryKind kind, const SlotTable& table, std::span<const int> memories)
{
    QByteArray out = QByteArray(kind == MemoryKind::Fft ? kFftMagic : kMagic) + "\n";
    for (const int m : memories) {
        const SpectrumRec& rec = table[static_cast<std::size_t>(m)];
        appendHeader(out, m, rec);
        if (kind == MemoryKind::Fft)
            appendBins(out, rec.fft);
        else
            appendBands(out, rec);
        out += "end\n";
    }
    return out;
}

QString parseMemoryFile(const QByteArray& text, std::vector<LoadedMemory>& out, MemoryKind* kind)
{
    Reader in(text);
    const std::optional<QByteArray> first = in.take();
    MemoryKind found = MemoryKind::Rta;
    if (first && *first == kFftMagic)
        found = MemoryKind::Fft;
    else if (!first || *first != kMagic) {
        in.fail(QString("erwartet: \"%1\" oder \"%2\"")
                    .arg(QString::fromLatin1(kMagic), QString::fromLatin1(kFftMagic)));
        return in.error();
    }
    std::vector<LoadedMemory> read;
    bool seen[kSlots] = {};
    while (!in.atEnd()) {
        LoadedMemory m;
        m.rec = std::make_unique<SpectrumRec>();
        m.rec->levels.fill(std::numeric_limits<double>::quiet_NaN());
        if (!readMemory(in, found, m.memory, *m.rec))
            return in.error();
        if (seen[m.memory])
            return QString("Speicher %1 steht zweimal in der Datei").arg(m.memory);
        seen[m.memory] = true;
        read.push_back(std::move(m));
    }
    if (read.empty())
        return "die Datei enthält keinen Speicher";
    out = std::move(read);
    if (kind)
        *kind = found;
    return {};
}

QString writeMemoryFile(const QString& path, MemoryKind kind, const SlotTable& table,
                        std::span<const int> memories)
{
    const QString error =
        settings::writeFileAtomically(path, memoryFileText(kind, table, memories));
    if (error.isEmpty())
        return {};
    return QString("Die Datei \"%1\" konnte nicht geschrieben werden: %2").arg(path, error);
}

QString readMemoryFile(const QString& path, std::vector<LoadedMemory>& out, MemoryKind* kind)
{
    QFile file(path);
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || info.size() > kMaxFileSize))
        return notOurs(path, "zu groß oder keine gewöhnliche Datei");
    if (!file.open(QIODevice::ReadOnly))
        return QString("Die Datei \"%1\" kann nicht gelesen werden: %2")
            .arg(path, file.errorString());
    const QString why = parseMemoryFile(file.readAll(), out, kind);
    return why.isEmpty() ? QString() : notOurs(path, why);
}

} // namespace memories
