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
    if (presenter()) {
        presenter()(parent, text);
        return;
    }
    QMessageBox::information(parent, LoadStr(sProduct), text);
}

void setMessagePresenter(MessagePresenter p)
{
    presenter() = std::move(p);
}

} // namespace app
