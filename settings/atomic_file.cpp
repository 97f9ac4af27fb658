#include "atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace settings {

namespace {

// The temporary files QSaveFile names after the file: "<name>." and six letters or digits. A
// process killed before its commit leaves one; nothing else ever removes it.
void removeLeftovers(const QString& fileName)
{
    const QFileInfo target(fileName);
    const QRegularExpression leftover(
        QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(target.fileName())));
    QDir folder = target.absoluteDir();
    const QStringList candidates = folder.entryList({target.fileName() + QStringLiteral(".??????")},
                                                    QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : candidates)
        if (leftover.match(name).hasMatch())
            folder.remove(name);
}

} // namespace

QString writeFileAtomically(const QString& fileName, const QByteArray& bytes)
{
    removeLeftovers(fileName);
    // Unbuffered, and every byte checked before the commit: Qt 6.4's QSaveFile loses the error
    // of a short write made while flushing its buffer, and would then commit a truncated file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 done = 0;
    while (done < bytes.size()) {
        // A full disk first takes part of a write; the next one fails and says why.
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return why;
        }
        done += n;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace settings
