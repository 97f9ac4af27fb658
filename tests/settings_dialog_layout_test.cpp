// The settings dialog as the user sees it: both pages drawn, every text legible within its
// control and every control within its group. Set SPECTRION_PICTURE_DIR to keep the pictures.

#include "settings_dialog_support.h"

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <set>

using settings_test::DialogTest;

namespace {

using SettingsDialogLayout = DialogTest;

// Controls that lie past their group's edge on purpose: the frequency-axis fields and labels.
bool hiddenByItsGroup(const QWidget& widget)
{
    return widget.geometry().left() >= 201 && widget.parentWidget() &&
           widget.parentWidget()->objectName() == QStringLiteral("grpScales");
}

// Pixels in rect that differ clearly from the rect's top-left pixel (the background).
int inkPixels(const QImage& image, const QRect& rect)
{
    const QRect area = rect.intersected(image.rect());
    const QRgb background = image.pixel(area.topLeft());
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAbs(qGray(image.pixel(x, y)) - qGray(background)) > 80)
                ++ink;
    return ink;
}

TEST_F(SettingsDialogLayout, BothPagesShowEveryTextWholeAndInsideItsGroup)
{
    const auto dialog = create();
    dialog->show();
    auto* pages = child<QTabWidget>(*dialog, "pgcSettings");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(dialog->size(), QSize(313, 323));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Grafik"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Signalverarbeitung"));

    // Tab walks the visible controls only.
    dialog->txtYAxisStep->setFocus();
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog->txtYAxisStep, &tab);
    EXPECT_EQ(dialog->focusWidget()->objectName(), QStringLiteral("lstColors"));

    const QString pictureDir = qEnvironmentVariable("SPECTRION_PICTURE_DIR");
    for (int page = 0; page < pages->count(); ++page) {
        SCOPED_TRACE(pages->tabText(page).toStdString());
        pages->setCurrentIndex(page);
        const QImage picture = dialog->grab().toImage();
        if (!pictureDir.isEmpty())
            picture.save(
                QDir(pictureDir).filePath(QStringLiteral("settings_page%1.png").arg(page)));

        int texts = 0;
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            if (!widget->isVisible() || hiddenByItsGroup(*widget))
                continue;
            QString text;
            int room = widget->width();
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                text = label->text();
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                text = button->text();
                room -= 8; // the button's frame and a little air
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                text = group->title();
                room -= 16;
            } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
                // The widest item, which the closed list must show whole too.
                for (int item = 0; item < list->count(); ++item)
                    if (widget->fontMetrics().horizontalAdvance(list->itemText(item)) >
                        widget->fontMetrics().horizontalAdvance(text))
                        text = list->itemText(item);
                room -= 24; // frame and drop-down arrow
            } else {
                continue;
            }
            SCOPED_TRACE(widget->objectName().toStdString() + ": " + text.toStdString());
            ++texts;
            EXPECT_LE(widget->fontMetrics().horizontalAdvance(text), room);
            const QWidget* parent = widget->parentWidget();
            if (parent != dialog.get()) {
                EXPECT_TRUE(parent->rect().contains(widget->geometry()));
            }
            const QRect onScreen(widget->mapTo(dialog.get(), QPoint(0, 0)), widget->size());
            EXPECT_GT(inkPixels(picture, onScreen), 10) << "no text drawn";
        }
        EXPECT_GE(texts, page == 0 ? 13 : 3);
    }
}

} // namespace
