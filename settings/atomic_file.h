#pragma once
// Files written whole or not at all: through a temporary file and a rename,
// every byte checked before the commit, so a crash or a full disk leaves the
// previous file as it was. UI thread or any thread; no shared state.

#include <QByteArray>
#include <QString>

namespace settings {

// Replaces `fileName` with `bytes`. Returns an empty string on success, else
// the reason (Qt's or the system's text). The folder must exist. Temporary
// files that an interrupted earlier write of the same file left behind
// ("<name>.XXXXXX" beside it) are removed first.
QString writeFileAtomically(const QString& fileName, const QByteArray& bytes);

} // namespace settings
