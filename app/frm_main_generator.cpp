// The generator's place in the main window: Extras -> "Generator ..." and the
// toggle beside START open its window; the toggle stays down while the window
// is open and shows whether it plays.

#include "frm_main.h"

#include "form_widgets.h"
#include "frm_generator.h"
#include "string_table.h"

#include <QAction>
#include <QToolButton>

namespace app {

void TfrmMain::createGenerator()
{
    frmGenerator = new TfrmGenerator(this);
    Generator1->setText(withAccessKey(LoadStr(sGeneratorMenu), 'G'));
    btnGenerator->setToolTip(LoadStr(sGenerator));
    btnGenerator->setIcon(TfrmGenerator::icon(false));
    btnGenerator->setIconSize(QSize(18, 18));

    const auto open = [this] {
        frmGenerator->show();
        frmGenerator->raise();
        frmGenerator->activateWindow();
    };
    connect(Generator1, &QAction::triggered, this, open);
    connect(btnGenerator, &QToolButton::clicked, this, [this, open](bool down) {
        if (down)
            open();
        else
            frmGenerator->close();
    });
    connect(frmGenerator, &TfrmGenerator::shownChanged, btnGenerator, &QToolButton::setChecked);
    connect(frmGenerator, &TfrmGenerator::playingChanged, this,
            [this](bool playing) { btnGenerator->setIcon(TfrmGenerator::icon(playing)); });
}

} // namespace app
