#include "message_box.h"

#include "string_table.h"

#include <QMessageBox>

namespace app {
namespace {

MessagePresenter& presenter()
{
    static MessagePresenter current;
    return current;
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text)
{
    ShowMessage(parent, text, QString());
}

void ShowMessage(QWidget* parent, const QString& text, const QString& details)
{
    const QString trimmed = details.trimmed();
    if (presenter()) {
        presenter()(parent, trimmed.isEmpty() ? text : text + QStringLiteral("\n\n") + trimmed);
        return;
    }
    QMessageBox box(QMessageBox::Information, LoadStr(sProduct), text, QMessageBox::Ok, parent);
    if (!trimmed.isEmpty())
        box.setDetailedText(trimmed);
    box.exec();
}

void setMessagePresenter(MessagePresenter p)
{
    presenter() = std::move(p);
}

} // namespace app
