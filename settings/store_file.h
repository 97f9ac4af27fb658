#pragma once
// The settings file on disk. It holds one JSON object whose members are the root keys; a key is
// an object whose members are its subkeys (objects) and its values. The store reads and writes
// integers (JSON numbers that are whole and within 32-bit signed range) and strings; any other
// value (a fraction, a Boolean, a larger number, an array, null) is kept in the file as it was
// and reads as a value of the wrong type. UI thread only.

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace settings {

struct StoreFileContents {
    enum class Status {
        // No file: no keys.
        Missing,
        // tree holds the file.
        Valid,
        // Truncated, not JSON or not a JSON object: read as no keys, replaced at the next write.
        Invalid,
        // There, but cannot or must not be read (not a regular file, too large, an I/O error):
        // read as no keys and never replaced.
        Unreadable,
    };
    Status status = Status::Missing;
    QJsonObject tree; // empty unless Valid
    QString error;    // why, when Unreadable
};

StoreFileContents readStoreFile(const QString& fileName);

// Replaces the file with tree through a temporary file and a rename, creating its folder if
// needed, so a crash or a full disk leaves the previous file whole. Returns an empty string on
// success, else the reason.
QString writeStoreFile(const QString& fileName, const QJsonObject& tree);

// A value the store keeps as an integer.
bool isStoredInteger(const QJsonValue& value);

} // namespace settings
