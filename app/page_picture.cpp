// File → "Bild speichern …": a picture of the page shown (graph, legend,
// readout line, the page's own controls) as a PNG, at the screen's device
// pixel ratio.

#include "form_widgets.h"
#include "frm_main.h"

#include "message_box.h"
#include "string_table.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QPixmap>
#include <QStandardPaths>
#include <QTabWidget>

namespace app {

void TfrmMain::createPictureCommand()
{
    SavePicture1 = new QAction(withAccessKey(LoadStr(sSavePicture), QChar(u'i')), File1);
    SavePicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // Beside the exports, before the separator above "Beenden".
    File1->insertAction(Exit1, SavePicture1);
    File1->insertSeparator(Exit1);
    connect(SavePicture1, &QAction::triggered, this, [this] { SavePicture1Click(); });
    pictureFile = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, LoadStr(sSavePictureTitle), proposed,
                                            LoadStr(sSavePictureFilter));
    };
}

QWidget* TfrmMain::shownPage() const
{
    switch (pgcAnalyzers->currentIndex()) {
    case 1:
        return tabFFT;
    case 2:
        return tabScope;
    default:
        return tabOctave;
    }
}

QString TfrmMain::proposedPictureName() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString page = pgcAnalyzers->tabText(pgcAnalyzers->currentIndex()).trimmed();
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss");
    return QDir(folder).filePath(LoadStr(sProduct) + "_" + page + "_" + stamp + ".png");
}

QString TfrmMain::savePagePicture(const QString& path)
{
    const QPixmap picture = shownPage()->grab();
    if (picture.isNull() || !picture.save(path, "PNG"))
        return LoadStr(sSavePictureFailed).arg(QDir::toNativeSeparators(path));
    return {};
}

void TfrmMain::SavePicture1Click()
{
    if (!pictureFile)
        return;
    QString chosen = pictureFile(proposedPictureName());
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += ".png";
    if (const QString error = savePagePicture(chosen); !error.isEmpty())
        ShowMessage(this, error);
}

} // namespace app
