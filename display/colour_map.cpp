#include "colour_map.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace display {
namespace {

struct PaletteEntry {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

using Entry = std::optional<PaletteEntry>;
constexpr PaletteEntry active(QPalette::ColorRole role)
{
    return {QPalette::Active, role};
}

// Indexed by system colour number; see the table in the header.
const std::array<Entry, 31> kSystemColours = {
    active(QPalette::Midlight),                             // 0
    active(QPalette::Dark),                                 // 1
    active(QPalette::Highlight),                            // 2
    active(QPalette::Mid),                                  // 3
    active(QPalette::Window),                               // 4
    active(QPalette::Base),                                 // 5
    active(QPalette::Shadow),                               // 6
    active(QPalette::WindowText),                           // 7
    active(QPalette::WindowText),                           // 8
    active(QPalette::HighlightedText),                      // 9
    active(QPalette::Button),                               // 10
    active(QPalette::Button),                               // 11
    active(QPalette::Dark),                                 // 12
    active(QPalette::Highlight),                            // 13
    active(QPalette::HighlightedText),                      // 14
    active(QPalette::Button),                               // 15
    active(QPalette::Dark),                                 // 16
    PaletteEntry{QPalette::Disabled, QPalette::WindowText}, // 17
    active(QPalette::ButtonText),                           // 18
    active(QPalette::Light),                                // 19
    active(QPalette::Light),                                // 20
    active(QPalette::Shadow),                               // 21
    active(QPalette::Midlight),                             // 22
    active(QPalette::ToolTipText),                          // 23
    active(QPalette::ToolTipBase),                          // 24
    std::nullopt,                                           // 25: unused number
    active(QPalette::Link),                                 // 26
    active(QPalette::Highlight),                            // 27
    active(QPalette::Mid),                                  // 28
    active(QPalette::Highlight),                            // 29
    active(QPalette::Window),                               // 30
};

} // namespace

QRgb toQRgb(engine::TColor colour)
{
    if (engine::isSystemColour(colour)) {
        const engine::TColor n = colour & 0x00FFFFFFu;
        if (n >= kSystemColours.size() || !kSystemColours[n])
            return qRgb(0, 0, 0);
        const PaletteEntry e = *kSystemColours[n];
        return QGuiApplication::palette().color(e.group, e.role).rgb();
    }
    return qRgb(int(colour & 0xFFu), int((colour >> 8) & 0xFFu), int((colour >> 16) & 0xFFu));
}

QColor toQColor(engine::TColor colour)
{
    return QColor::fromRgb(toQRgb(colour));
}

engine::TColor fromQColor(const QColor& colour)
{
    const QRgb rgb = colour.rgb();
    return engine::RGB(std::uint8_t(qRed(rgb)), std::uint8_t(qGreen(rgb)),
                       std::uint8_t(qBlue(rgb)));
}

} // namespace display

namespace display {

engine::TColor liveCurveColour(engine::TColor background)
{
    const QRgb rgb = toQRgb(background);
    const double luminance = 0.2126 * qRed(rgb) + 0.7152 * qGreen(rgb) + 0.0722 * qBlue(rgb);
    return luminance > 127.5 ? engine::clBlack : engine::clWhite;
}

} // namespace display
