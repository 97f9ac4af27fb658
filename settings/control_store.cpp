#include "settings/control_store.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QWidget>

namespace settings {

namespace {

LoadResult readInto(const Registry& registry, QWidget& control)
{
    const QString name = control.objectName();
    try {
        if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
            edit->setText(registry.readString(name));
            return LoadResult::Loaded;
        }
        if (auto* box = qobject_cast<QCheckBox*>(&control)) {
            box->setChecked(registry.readBool(name));
            return LoadResult::Loaded;
        }
        return LoadResult::Failed;
    } catch (const ReadError& error) {
        return error.reason() == ReadError::Reason::WrongType ? LoadResult::Failed
                                                              : LoadResult::Missing;
    }
}

} // namespace

QString settingsKeyPath(const QString& maker, const QString& product)
{
    return QStringLiteral("\\Software\\") + maker + QLatin1Char('\\') + product;
}

StoreKey settingsKey(const QString& maker, const QString& product)
{
    return {storePath(), settingsKeyPath(maker, product), RootKey::HKEY_LOCAL_MACHINE};
}

bool SReg(const StoreKey& key, const QWidget& control)
{
    Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, true))
        return false;
    const QString name = control.objectName();
    bool written = false;
    if (auto* edit = qobject_cast<const QLineEdit*>(&control))
        written = registry.writeString(name, edit->text());
    else if (auto* box = qobject_cast<const QCheckBox*>(&control))
        written = registry.writeBool(name, box->isChecked());
    return registry.closeKey() && written;
}

LoadResult GReg(const StoreKey& key, QWidget& control)
{
    Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, true))
        return LoadResult::Failed;
    const LoadResult result = readInto(registry, control);
    if (result == LoadResult::Missing) {
        if (auto* edit = qobject_cast<QLineEdit*>(&control))
            edit->clear();
    }
    return result;
}

LoadResult loadControl(const StoreKey& key, QWidget& control)
{
    Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, false))
        return LoadResult::Missing;
    return readInto(registry, control);
}

} // namespace settings
