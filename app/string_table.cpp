#include "string_table.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace app {
namespace {

struct Entry {
    int id;
    const char* text; // UTF-8
};

// Sorted by number.
constexpr Entry kTexts[] = {
    {65200, "Pegel [dB]"},
    {65201, "Skalen"},
    {65202, "Maximum Y-Achse"},
    {65203, "Minimum Y-Achse"},
    {65204, "Schrittw. Y-Achse"},
    {65205, "Grafik"},
    {65206, "Signalverarbeitung"},
    {65207, "Farben"},
    {65208, "Ändern"},
    {65209, "Kommentar"},
    {65210, " Oszilloskop "},
    {65211, " FFT "},
    {65212, " Oktavanalyse "},
    {65213, "Analyse"},
    {65214, "Soundeingang testen"},
    {65215, "Standard"},
    {65216, "Hell"},
    {65217, "Schließen"},
    {65218, "Fenster"},
    {65219, "Speicher"},
    {65220, "Extras"},
    {65221, "Mittelung"},
    {65222, "Auflösung"},
    {65223, "Sehr Langsam"},
    {65224, "Langsam"},
    {65225, "Schnell"},
    {65226, "Keine"},
    {65227, "&Export last measured Spectrum"},
    {65228, "Eingang"},
    {65229, "Die Aufnahme wurde beendet, weil das Eingangsgerät nicht mehr liefert:\n%1"},
    {65230, "Die Einstellungen konnten nicht gespeichert werden:\n%1"},
    {65231, "Die Hilfe wurde nicht gefunden:\n%1"},
    {65232, "Es sind keine Spektren gespeichert."},
    {65233, "Es liegt noch keine Messung der Oktavanalyse vor."},
    {65236, "Spektren öffnen"},
    {65237, "Speicher Oszilloskop"},
    {65238, "Speicher FFT"},
    {65239, "Speicher RTA"},
    {65240, "support.html"},
    {65241, "Windows-Standard"},
    {65244, "Alles löschen"},
    {65245, "Eingangslautstärke"},
    {65246, "Einstellungen"},
    {65248, "Es wurde keine Soundkarte gefunden! Unter Windows 7 kann das auch bedeuten, dass "
            "kein Gerät an den Eingang angeschlossen ist. Bitte verbinden Sie ein Soundgerät "
            "z.B. via USB oder überprüfen Sie den Eingang."},
    {65249, "Hilfe"},
    {65250, "Datei"},
    {65251, "&Beenden"},
    {65252, "help"},
    {65275, "Drevmark"},
    {65276, "1.2"},
    {65277, "Spectrion"},
    {65300, "Pegel [dBFS]"},
    {65400, "Die Einstellungen konnten nicht gespeichert werden. Prüfen Sie, ob die Datei %1 und "
            "ihr Ordner beschreibbar sind und der Datenträger Platz hat, oder wählen Sie mit "
            "--settings eine andere Datei.\nTechnische Angabe: %2"},
    {65401, "Das Minimum der Y-Achse muss unter ihrem Maximum liegen. Der vorige Wert gilt "
            "weiter."},
    {65402, "Die Schrittweite der Y-Achse muss größer als 0 dB sein. Der vorige Wert gilt "
            "weiter."},
    {65403, "Mit dieser Schrittweite hätte die Y-Achse mehr als 100 Gitterlinien. Der vorige "
            "Wert gilt weiter."},
    {65404, "Die Grenzen der X-Achse müssen zwischen 1 Hz und 24000 Hz liegen. Der vorige Wert "
            "gilt weiter."},
    {65405, "Das Minimum der X-Achse muss unter ihrem Maximum liegen. Der vorige Wert gilt "
            "weiter."},
    {65406, "Das zuletzt gewählte Eingangsgerät „%1“ ist nicht vorhanden; aufgenommen wird vom "
            "Windows-Standard."},
    {65410, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät ist nicht vorhanden."},
    {65411, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät wird von einem anderen "
            "Programm benutzt."},
    {65412, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät ist nicht verfügbar. Ist es "
            "angeschlossen, und läuft der Soundserver?"},
    {65413, "Die Aufnahme konnte nicht beginnen: Das Eingangsgerät kann nicht mit 16 Bit, mono, "
            "48000 Hz aufnehmen."},
    {65414, "Die Aufnahme konnte nicht beginnen: Es ist nicht genug Speicher frei."},
    {65415, "Die Aufnahme konnte nicht beginnen."},
    {65416, "Technische Angabe: %1"},
    {65420, "Es konnte kein Webbrowser gestartet werden, um %1 zu zeigen. Installieren Sie einen "
            "Browser und das Paket xdg-utils (z. B. „apt install xdg-utils firefox-esr“)."},
    {65421, "Es ist kein Mixer für die Eingänge installiert. Installieren Sie pavucontrol (z. B. "
            "„apt install pavucontrol“), um die Eingangslautstärke einzustellen."},
    {65430, "Eingang: %1"},
    {65431, "%1 Hz"},
    {65432, "Block %1"},
    {65433, "verloren: %1 Blöcke"},
    {65434, "Überläufe: %1"},
    {65435, "liefert nichts!"},
    {65436, "Datei mit %1 Hz, umgerechnet auf %2 Hz"},
    {65437, "Kanal %1 von %2"},
    {65438, "%1 Kanäle gemischt"},
    {65439, "ungültige Abtastwerte ersetzt: %1"},
    {65440, "gestoppt"},
    {65500, "Generator …"},
    {65501, "Generator"},
    {65502, "Ausgang"},
    {65503, "Signal"},
    {65504, "Rosa Rauschen"},
    {65505, "Weißes Rauschen"},
    {65506, "Sinus"},
    {65507, "Gleitsinus"},
    {65508, "Frequenz [Hz]"},
    {65509, "Startfrequenz [Hz]"},
    {65510, "Endfrequenz [Hz]"},
    {65511, "Dauer [s]"},
    {65512, "Pegel [dBFS, Effektivwert]"},
    {65513, "Pegel [dBFS, Spitzenwert]"},
    {65514, "Start"},
    {65515, "Stop"},
    {65516, "Der Generator wurde beendet, weil das Ausgabegerät nicht mehr spielt:\n%1"},
    {65517, "Der Generator konnte nicht starten:\n%1"},
    {65518, "Die Einstellungen des Generators konnten nicht gespeichert werden:\n%1"},
};

constexpr bool sortedById()
{
    for (std::size_t i = 1; i < std::size(kTexts); ++i)
        if (kTexts[i - 1].id >= kTexts[i].id)
            return false;
    return true;
}
static_assert(sortedById(), "string table must be sorted by number");

} // namespace

QString LoadStr(int id)
{
    const auto it = std::lower_bound(std::begin(kTexts), std::end(kTexts), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    if (it == std::end(kTexts) || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

} // namespace app
