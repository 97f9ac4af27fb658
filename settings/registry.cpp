#include "settings/registry.h"

#include "settings/store_file.h"

#include <QDir>

#include <utility>

namespace settings {

namespace {

QString rootName(RootKey root)
{
    switch (root) {
    case RootKey::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case RootKey::HKEY_LOCAL_MACHINE:
        break;
    }
    return QStringLiteral("HKEY_LOCAL_MACHINE");
}

// Puts the values into the key at path[depth...] below node, creating the keys on the way. A
// value standing where a key belongs (the file changed since the key was opened) gives way.
void applyValues(QJsonObject& node, const QStringList& path, qsizetype depth,
                 const QJsonObject& values)
{
    if (depth == path.size()) {
        for (auto it = values.begin(); it != values.end(); ++it)
            node.insert(it.key(), it.value());
        return;
    }
    QJsonObject child = node.value(path[depth]).toObject();
    applyValues(child, path, depth + 1, values);
    node.insert(path[depth], child);
}

QString writeFailure(const QString& fileName, const QString& why)
{
    return QStringLiteral("Die Einstellungen konnten nicht in die Datei \"%1\" geschrieben "
                          "werden: %2")
        .arg(QDir::toNativeSeparators(fileName), why);
}

} // namespace

Registry::Registry(QString fileName) : m_fileName(std::move(fileName)) {}

Registry::~Registry()
{
    closeKey();
}

void Registry::setRootKey(RootKey root)
{
    closeKey();
    m_root = root;
}

bool Registry::openKey(const QString& key, bool canCreate)
{
    closeKey();

    const QStringList parts = key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const StoreFileContents contents = readStoreFile(m_fileName);

    QJsonValue node = contents.tree.value(rootName(m_root));
    bool missing = !node.isObject();
    for (const QString& part : parts) {
        if (missing)
            break;
        const QJsonValue child = node.toObject().value(part);
        if (child.isUndefined())
            missing = true;
        else if (!child.isObject())
            return false;
        node = child;
    }
    if (missing && !canCreate)
        return false;

    m_open = true;
    m_created = missing;
    m_path = QStringList{rootName(m_root)} + parts;
    m_values = missing ? QJsonObject() : node.toObject();
    m_written = QJsonObject();
    return true;
}

bool Registry::closeKey()
{
    if (!m_open)
        return true;
    const bool changed = m_created || !m_written.isEmpty();
    const QJsonObject written = std::exchange(m_written, QJsonObject());
    m_open = false;
    m_created = false;
    m_values = QJsonObject();
    m_error.clear();
    if (!changed)
        return true;

    // Merge into the file as it is now, so keys written by others since the open survive.
    StoreFileContents contents = readStoreFile(m_fileName);
    if (contents.status == StoreFileContents::Status::Unreadable) {
        m_error = writeFailure(m_fileName, contents.error);
        return false;
    }
    applyValues(contents.tree, m_path, 0, written);
    const QString why = writeStoreFile(m_fileName, contents.tree);
    if (!why.isEmpty()) {
        m_error = writeFailure(m_fileName, why);
        return false;
    }
    return true;
}

bool Registry::valueExists(const QString& name) const
{
    if (!m_open)
        return false;
    const QJsonValue value = m_values.value(name);
    return !value.isUndefined() && !value.isObject();
}

QJsonValue Registry::storedValue(const QString& name) const
{
    if (!m_open)
        throw ReadError(ReadError::Reason::NoKey, name);
    if (!valueExists(name))
        throw ReadError(ReadError::Reason::Missing, name);
    return m_values.value(name);
}

std::int32_t Registry::readInteger(const QString& name) const
{
    const QJsonValue value = storedValue(name);
    if (!isStoredInteger(value))
        throw ReadError(ReadError::Reason::WrongType, name);
    return std::int32_t(value.toInteger());
}

QString Registry::readString(const QString& name) const
{
    const QJsonValue value = storedValue(name);
    if (!value.isString())
        throw ReadError(ReadError::Reason::WrongType, name);
    return value.toString();
}

bool Registry::readBool(const QString& name) const
{
    return readInteger(name) != 0;
}

bool Registry::write(const QString& name, const QJsonValue& value)
{
    if (!m_open || m_values.value(name).isObject())
        return false;
    m_values.insert(name, value);
    m_written.insert(name, value);
    return true;
}

bool Registry::writeInteger(const QString& name, std::int32_t value)
{
    return write(name, QJsonValue(qint64(value)));
}

bool Registry::writeString(const QString& name, const QString& value)
{
    return write(name, QJsonValue(value));
}

bool Registry::writeBool(const QString& name, bool value)
{
    return writeInteger(name, value ? 1 : 0);
}

} // namespace settings
