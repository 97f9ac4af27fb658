#include "settings/colour_chooser.h"

#include "display/colour_map.h"

#include <QColorDialog>
#include <QPointer>

#include <memory>

namespace settings {

ColourChooser desktopColourChooser(QWidget* parent)
{
    // Shared by the copies of the chooser, so that the last choice survives copying it.
    auto last = std::make_shared<QColor>(Qt::black);
    return [last, owner = QPointer<QWidget>(parent)]() -> std::optional<engine::TColor> {
        const QColor chosen = QColorDialog::getColor(*last, owner.data());
        if (!chosen.isValid())
            return std::nullopt;
        *last = chosen;
        return display::fromQColor(chosen);
    };
}

} // namespace settings
