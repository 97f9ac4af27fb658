#include "settings/store_file.h"

#include "settings/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>
#include <cstdint>
#include <limits>

namespace settings {

namespace {

// A settings file is a few hundred bytes. Anything far larger is not ours: it is neither read
// into memory nor replaced.
constexpr qint64 kMaxFileSize = 1 << 20;

QString tooLarge()
{
    return QStringLiteral("die Datei ist größer als 1 MiB");
}

QString notAFile()
{
    return QStringLiteral("der Pfad ist keine gewöhnliche Datei");
}

StoreFileContents unreadable(const QString& why)
{
    return {StoreFileContents::Status::Unreadable, {}, why};
}

} // namespace

bool isStoredInteger(const QJsonValue& value)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    return std::isfinite(d) && d == std::trunc(d) &&
           d >= double(std::numeric_limits<std::int32_t>::min()) &&
           d <= double(std::numeric_limits<std::int32_t>::max());
}

StoreFileContents readStoreFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return unreadable(notAFile());
    if (info.size() > kMaxFileSize)
        return unreadable(tooLarge());

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(file.errorString());
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable(file.errorString());
    if (bytes.size() > kMaxFileSize)
        return unreadable(tooLarge());

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return {StoreFileContents::Status::Invalid, {}, {}};
    return {StoreFileContents::Status::Valid, document.object(), {}};
}

QString writeStoreFile(const QString& fileName, const QJsonObject& tree)
{
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return notAFile();
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("der Ordner \"%1\" kann nicht angelegt werden")
            .arg(QDir::toNativeSeparators(info.absolutePath()));

    return writeFileAtomically(fileName, QJsonDocument(tree).toJson(QJsonDocument::Indented));
}

} // namespace settings
