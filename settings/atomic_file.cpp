#include "atomic_file.h"

#include <QSaveFile>

namespace settings {

QString writeFileAtomically(const QString& fileName, const QByteArray& bytes)
{
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
